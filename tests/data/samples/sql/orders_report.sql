-- Monthly order report for the sales team.
-- Run against the reporting replica, never the primary.

SELECT c.customer_id,
       c.name,
       o.order_id,
       o.ordered_at,
       SUM(l.quantity * l.unit_price) AS order_total
  FROM customers c
  JOIN orders o ON o.customer_id = c.customer_id
  LEFT OUTER JOIN order_lines l ON l.order_id = o.order_id
 WHERE o.ordered_at >= DATE '2023-01-01'
   AND o.ordered_at <  DATE '2023-02-01'
   AND c.region IN (SELECT r.region_code
                      FROM regions r
                     WHERE r.active = 'Y'
                       AND r.manager_id IN (SELECT e.employee_id
                                              FROM employees e
                                             WHERE e.department = 'SALES'))
 GROUP BY c.customer_id, c.name, o.order_id, o.ordered_at
HAVING SUM(l.quantity * l.unit_price) > 100
 ORDER BY order_total DESC, c.name;

/* Customers who ordered nothing in the period, for the follow-up calls. */
select c.customer_id, c.name, c.phone
from customers c
where not exists (select 1 from orders o
                  where o.customer_id = c.customer_id
                  and o.ordered_at >= date '2023-01-01')
order by c.name;

-- Orders per weekday, with a readable label.
SELECT CASE EXTRACT(DOW FROM o.ordered_at)
         WHEN 0 THEN 'Sunday'
         WHEN 6 THEN 'Saturday'
         ELSE 'Weekday'
       END AS day_kind,
       COUNT(*) AS orders
FROM orders o
GROUP BY 1
ORDER BY 2 DESC;
