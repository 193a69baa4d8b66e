select e.name, e.salary, d.dept_name from employees e, departments d where e.dept_id = d.id and e.salary > (select avg(salary) from employees where dept_id = e.dept_id) order by e.salary desc;
update employees set salary = salary * 1.05 where hire_date < '2020-01-01' or rating >= 4;
insert into audit_log (who, what) values ('batch', 'raise');
