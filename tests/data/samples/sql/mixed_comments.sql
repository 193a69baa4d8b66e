/* ------------------------------------------------------------------
   Audit queries. Comments of both kinds everywhere, also between the
   parts of a statement and at the ends of lines.
   ------------------------------------------------------------------ */

SELECT /* who */ u.login,          -- the account
       /* when */ a.happened_at,   -- UTC
       a.action                    -- 'login', 'logout', 'fail'
  FROM audit_log a                 /* big table, partitioned by month */
  JOIN users u                     -- small table
    ON u.user_id = a.user_id
 WHERE a.happened_at > CURRENT_TIMESTAMP - INTERVAL '1' DAY
   -- AND a.action = 'fail'       (switched off for the weekly run)
   AND a.action <> 'heartbeat'
 ORDER BY a.happened_at;

-- A comment line with SQL words in it: SELECT * FROM nowhere;
/* and one that spans
   two lines: DELETE FROM everything; */

SELECT u.login, COUNT(*) AS failures -- per user
  FROM audit_log a, users u
 WHERE a.user_id = u.user_id AND a.action = 'fail' /* only failures */
 GROUP BY u.login
HAVING COUNT(*) > 5;   -- threshold agreed with security

/* trailing block comment at the very end */
