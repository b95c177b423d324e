-- The rights of a Calvedon desk: a role that reads and writes the program's
-- records and takes new request numbers, and nothing more (it cannot make,
-- change or drop tables).  Run it as the owner of the tables (the login that
-- ran `cvdtool create` or `cvdtool copy`), in their database, naming the
-- role with -v desk=...:
--
--     psql -h dbhost -d calvedon -v desk=calvedon_desk -f /usr/share/calvedon/desk-role.sql
--
-- The role is made when it does not exist yet, as a group without a login of
-- its own; each desk's user then joins it:
--
--     CREATE ROLE alice LOGIN PASSWORD '...' IN ROLE calvedon_desk;
--
-- Run it again after `cvdtool copy` has made the tables anew.  The tables are
-- those on the search path (the schema `cvdtool create` made them in).
\set ON_ERROR_STOP on
\set QUIET on
\if :{?desk}
\else
  \echo 'Name the desk role: psql ... -v desk=calvedon_desk -f desk-role.sql'
  \quit
\endif

SELECT NOT EXISTS (SELECT FROM pg_roles WHERE rolname = :'desk') AS desk_missing,
       current_database() AS desk_database, current_schema() AS desk_schema \gset
\if :desk_missing
CREATE ROLE :"desk" NOLOGIN;
\endif

BEGIN;
GRANT CONNECT ON DATABASE :"desk_database" TO :"desk";
GRANT USAGE ON SCHEMA :"desk_schema" TO :"desk";
-- The requests and the four lists: read, add, change and delete.
GRANT SELECT, INSERT, UPDATE, DELETE ON req, customers, dept, staff, categories, priorities TO :"desk";
-- The program's defaults: read and change (a missing row is added).
GRANT SELECT, INSERT, UPDATE ON settings TO :"desk";
-- The versions that tell the other desks of a changed list.
GRANT SELECT, UPDATE ON cvd_versions TO :"desk";
-- New numbers for requests and list entries.
SELECT format('GRANT USAGE ON SEQUENCE %s TO %I', pg_get_serial_sequence(t, k), :'desk')
  FROM (VALUES ('req', 'reqid'), ('customers', 'custid'), ('dept', 'deptid'), ('staff', 'staffid'),
               ('categories', 'catid'), ('priorities', 'priid'), ('settings', 'settingsid')) AS keys(t, k) \gexec
COMMIT;

\echo 'The role' :"desk" 'has the rights of a Calvedon desk on' :"desk_database"
