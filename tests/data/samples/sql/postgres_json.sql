-- PostgreSQL: casts with ::, JSON operators, arrays and dollar-free functions.
SELECT id::text,
       payload->>'customer' AS customer,
       payload->'items'->0->>'sku' AS first_sku,
       (payload->>'total')::numeric(12, 2) AS total,
       created_at::date AS day
  FROM events
 WHERE payload ? 'customer'
   AND payload @> '{"kind": "order"}'
   AND tags && ARRAY['web', 'app']
 ORDER BY created_at DESC
 LIMIT 50 OFFSET 0;

select count(*) filter (where payload->>'kind' = 'refund') as refunds,
       count(*) as all_events
from events
where created_at >= now() - interval '7 days';

INSERT INTO events (payload, tags)
VALUES ('{"kind": "order", "customer": "O''Brien", "total": "12.50"}'::jsonb, '{web}')
ON CONFLICT (id) DO NOTHING
RETURNING id;

SELECT e.id, x.value
  FROM events e
 CROSS JOIN LATERAL jsonb_array_elements(e.payload->'items') AS x(value)
 WHERE e.id BETWEEN 100 AND 200;

CREATE INDEX events_kind_ix ON events ((payload->>'kind'));
