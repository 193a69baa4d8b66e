/* report_main.c - C source with embedded SQL written straight into the file,
 * as some shops keep it before the precompiler step. Comments in both C
 * styles; strings with escaped quotes.
 */
#include <stdio.h>

#define REPORT_TITLE "Open orders \"today\"" /* not SQL */

EXEC SQL BEGIN DECLARE SECTION;
int   order_id;
float total;
char  status[13];
EXEC SQL END DECLARE SECTION;

/* Prints one line per open order. */
void print_open_orders(void)
{
    printf("%s\n", REPORT_TITLE);
    EXEC SQL DECLARE c1 CURSOR FOR SELECT o.order_id, SUM(l.quantity*l.unit_price), o.status FROM orders o, order_lines l WHERE l.order_id=o.order_id AND o.status IN ('open','paid') GROUP BY o.order_id, o.status;
    EXEC SQL OPEN c1;
    for (;;) {
        EXEC SQL FETCH c1 INTO :order_id, :total, :status;
        if (sqlca.sqlcode != 0)
            break;
        printf("%8d %10.2f %s\n", order_id, total, status); // one row
    }
    EXEC SQL CLOSE c1;
}

void mark_shipped(int id)
{
    order_id = id;
    EXEC SQL UPDATE orders
                SET status = 'shipped'
              WHERE order_id = :order_id
                AND status = 'paid';
    if (sqlca.sqlerrd[2] == 0)
        fprintf(stderr, "order %d was not paid; status left as it was\n", id);
}
