-- Stored procedure that closes a month. Oracle-style block with := assignments.
CREATE OR REPLACE PROCEDURE close_month (p_month IN DATE) AS
    v_total   NUMBER := 0;
    v_count   PLS_INTEGER := 0;
    v_label   VARCHAR2(40) := 'Month ''' || TO_CHAR(p_month, 'YYYY-MM') || '''';
BEGIN
    SELECT NVL(SUM(amount), 0), COUNT(*)
      INTO v_total, v_count
      FROM sales
     WHERE sold_at >= TRUNC(p_month, 'MM')
       AND sold_at <  ADD_MONTHS(TRUNC(p_month, 'MM'), 1);

    IF v_count = 0 THEN
        v_label := v_label || ' (empty)';
    ELSIF v_total > 1000000 THEN
        v_label := v_label || ' (record)';
    END IF;

    INSERT INTO month_close (month, total, sales_count, label)
    VALUES (TRUNC(p_month, 'MM'), v_total, v_count, v_label);

    FOR r IN (SELECT region_code, SUM(amount) AS amount FROM sales GROUP BY region_code) LOOP
        UPDATE regions SET last_total = r.amount WHERE region_code = r.region_code;
    END LOOP;

    COMMIT;
EXCEPTION
    WHEN OTHERS THEN
        ROLLBACK;
        RAISE;
END close_month;
/
