/* Public-benefit organisations. The rows come from the official list published each year;
   put it beside this script as lista_opp.csv to have it loaded when a database is created
   (it can also be loaded later into an existing database). Without the file the table
   starts empty. */
SET SQL DIALECT 3;
SET NAMES WIN1250;

CONNECT '__DBNAME__' USER '__USER__' PASSWORD '__PASS__';

CREATE DOMAIN D_NR_REGON AS VARCHAR(10);

CREATE TABLE LISTA_OPP (
    IDX         INTEGER NOT NULL,
    KODREGON    D_NR_REGON,
    NAZWA       STR256,
    MIEJSCOWOSC STR80,
    GMINA       STR80,
    POWIAT      STR80,
    WOJEWODZTWO STR80
);

ALTER TABLE LISTA_OPP ADD CONSTRAINT PK_LISTA_OPP PRIMARY KEY (IDX);
CREATE INDEX IND_LISTA_OPP_MIEJSCOWOSC ON LISTA_OPP (MIEJSCOWOSC);
CREATE UNIQUE INDEX LISTA_OPP_IDX1 ON LISTA_OPP (KODREGON);

LOAD LISTA_OPP FROM 'lista_opp.csv' OPTIONAL;

COMMIT WORK;
