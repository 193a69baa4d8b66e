/*
 * Contact list for the newsletter: customers and suppliers in one list.
 * UNION removes people who are both; UNION ALL is used where doubles are
 * wanted for the count.
 */
SELECT name, email, 'customer' AS source FROM customers WHERE newsletter = 1
UNION
SELECT contact_name, contact_email, 'supplier' FROM suppliers WHERE newsletter = 1
ORDER BY 2;

SELECT COUNT(*) FROM (
    SELECT email FROM customers
    UNION ALL
    SELECT contact_email FROM suppliers
    UNION ALL
    SELECT email FROM employees WHERE left_at IS NULL
) all_addresses;

-- Products never sold, minus those just added to the range.
SELECT p.product_id FROM products p
EXCEPT
SELECT l.product_id FROM order_lines l
EXCEPT
SELECT p2.product_id FROM products p2 WHERE p2.added_at > CURRENT_DATE - 30;

select a.x, b.y from (select 1 as x union select 2) a, (select 'a' as y union all select 'b') b where a.x > 0;
