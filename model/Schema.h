#pragma once
#include <QString>
#include <QStringList>

class Connection;

// The analysis database's tables, view and indexes, and the demo data, from the
// SQL texts shipped with the program (one text for SQLite and PostgreSQL).
namespace Schema {
QStringList statements(const QString& resource);  // ":/data/schema.sql" split into statements
void create(Connection& connection);               // all tables, indexes and qryMaxPeriodo
void loadDemo(Connection& connection);             // currencies, chart, companies
// On opening: adds to an analysis database made by an earlier version the tables it lacks,
// with their indexes, in one transaction. A database without the company table is no
// analysis database and is left as it is.
void completa(Connection& connection);
// The XBRL taxonomies' reference data (namespaces, charts, schemas, element map), in one
// transaction; it replaces those rows, so loading it again changes nothing.
void loadTaxonomy(Connection& connection);
}  // namespace Schema
