-- Ranking of sales people per region, with a running total per month.
WITH monthly AS (
    SELECT s.employee_id,
           s.region_code,
           DATE_TRUNC('month', s.sold_at) AS month,
           SUM(s.amount) AS amount
      FROM sales s
     GROUP BY s.employee_id, s.region_code, DATE_TRUNC('month', s.sold_at)
),
ranked AS (
    SELECT m.*,
           RANK() OVER (PARTITION BY m.region_code, m.month ORDER BY m.amount DESC) AS place,
           SUM(m.amount) OVER (PARTITION BY m.employee_id ORDER BY m.month
                               ROWS BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW) AS running
      FROM monthly m
)
SELECT r.region_code, r.month, e.last_name, r.amount, r.place, r.running,
       LAG(r.amount, 1, 0) OVER (PARTITION BY r.employee_id ORDER BY r.month) AS previous_amount,
       ROW_NUMBER() OVER (ORDER BY r.amount DESC) AS overall
  FROM ranked r
  JOIN employees e ON e.employee_id = r.employee_id
 WHERE r.place <= 3
 ORDER BY r.region_code, r.month, r.place;

-- Recursive walk down the org chart from the managing director.
WITH RECURSIVE chain (employee_id, manager_id, depth, path) AS (
    SELECT employee_id, manager_id, 0, CAST(last_name AS VARCHAR(1000))
      FROM employees
     WHERE manager_id IS NULL
    UNION ALL
    SELECT e.employee_id, e.manager_id, c.depth + 1, c.path || ' / ' || e.last_name
      FROM employees e
     INNER JOIN chain c ON e.manager_id = c.employee_id
     WHERE c.depth < 10
)
SELECT depth, path FROM chain ORDER BY path;
