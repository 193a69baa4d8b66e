-- Written on a Windows desktop: every line ends with CR LF.
SELECT w.warehouse_id,
       w.city,
       SUM(s.on_hand) AS on_hand,
       SUM(CASE WHEN s.on_hand < s.reorder_level THEN 1 ELSE 0 END) AS to_reorder
  FROM warehouses w
  LEFT JOIN stock s ON s.warehouse_id = w.warehouse_id
 WHERE w.closed_at IS NULL
 GROUP BY w.warehouse_id, w.city
 ORDER BY w.city;

/* The same report for one product,
   with the suppliers name. */
select w.city, s.on_hand, p.name, sup.name as supplier
from stock s
join warehouses w on w.warehouse_id = s.warehouse_id
join products p on p.product_id = s.product_id
join suppliers sup on sup.supplier_id = p.supplier_id
where p.product_id = 1042;

UPDATE stock SET reorder_level = 20 WHERE reorder_level IS NULL;
