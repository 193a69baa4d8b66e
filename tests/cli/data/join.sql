select e.name, d.name from emp e, dept d
where e.dept = d.id and e.salary > 1000
order by e.name;
