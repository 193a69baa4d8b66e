-- Schema of the small shop database.
-- Tables first, then indexes and views; the order matters for the foreign keys.

CREATE TABLE regions (
    region_code  CHAR(3)      NOT NULL PRIMARY KEY,
    name         VARCHAR(60)  NOT NULL,
    active       CHAR(1)      DEFAULT 'Y' CHECK (active IN ('Y', 'N')),
    manager_id   INTEGER
);

CREATE TABLE customers (
    customer_id  INTEGER      NOT NULL,
    name         VARCHAR(120) NOT NULL,
    email        VARCHAR(254),
    phone        VARCHAR(30),
    region       CHAR(3)      REFERENCES regions (region_code),
    newsletter   SMALLINT     DEFAULT 0,
    created_at   TIMESTAMP    DEFAULT CURRENT_TIMESTAMP,
    CONSTRAINT customers_pk PRIMARY KEY (customer_id),
    CONSTRAINT customers_email_uq UNIQUE (email)
);

create table orders (
    order_id     integer not null primary key,
    customer_id  integer not null references customers (customer_id) on delete cascade,
    ordered_at   timestamp not null,
    status       varchar(12) default 'open' /* open, paid, shipped, void */
);

CREATE TABLE order_lines (
    order_id     INTEGER NOT NULL REFERENCES orders (order_id),
    line_no      SMALLINT NOT NULL,
    product_id   INTEGER NOT NULL,
    quantity     NUMERIC(9, 2) NOT NULL,
    unit_price   NUMERIC(11, 2) NOT NULL,
    PRIMARY KEY (order_id, line_no)
);

CREATE INDEX orders_customer_ix ON orders (customer_id, ordered_at);
CREATE UNIQUE INDEX customers_name_ix ON customers (LOWER(name), customer_id);

ALTER TABLE regions ADD CONSTRAINT regions_manager_fk FOREIGN KEY (manager_id) REFERENCES employees (employee_id);
ALTER TABLE customers ADD COLUMN vip BOOLEAN DEFAULT FALSE;

CREATE VIEW open_orders AS
SELECT o.order_id, c.name, o.ordered_at
  FROM orders o JOIN customers c ON c.customer_id = o.customer_id
 WHERE o.status = 'open';

DROP VIEW IF EXISTS old_open_orders;
DROP TABLE IF EXISTS import_tmp;
