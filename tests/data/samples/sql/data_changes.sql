-- Yearly clean-up of the shop data. Run inside one transaction.
BEGIN;

INSERT INTO regions (region_code, name, active) VALUES ('NOR', 'North', 'Y');
INSERT INTO regions (region_code, name, active)
VALUES ('SOU', 'South', 'Y'),
       ('EAS', 'East', 'N'),
       ('WES', 'West', 'Y');

-- Notes carry quotes: the doubled quote is one quote in the stored text.
INSERT INTO notes (note_id, body) VALUES (1, 'It''s the customer''s second complaint');
INSERT INTO notes (note_id, body) VALUES (2, '''quoted'' at both ends');
insert into notes (note_id, body) values (3, 'semicolon; inside -- and no comment /* either */');

UPDATE customers
   SET newsletter = 0,
       email = NULL
 WHERE email NOT LIKE '%@%'
    OR email LIKE '% %';

update orders set status = 'void'
where status = 'open' and ordered_at < current_date - interval '1 year';

DELETE FROM order_lines
 WHERE order_id IN (SELECT order_id FROM orders WHERE status = 'void');

MERGE INTO customers t
USING import_customers s
   ON (t.customer_id = s.customer_id)
 WHEN MATCHED THEN UPDATE SET t.name = s.name, t.email = s.email
 WHEN NOT MATCHED THEN INSERT (customer_id, name, email) VALUES (s.customer_id, s.name, s.email);

INSERT INTO order_archive
SELECT * FROM orders WHERE ordered_at < DATE '2020-01-01';

COMMIT;
