#pragma once
#include <QString>

class Connection;

// First-start preparation of the embedded default: the user's data folder with an
// SQLite analysis database (schema and demo data), a working folder and a Def folder.
namespace HostSetup {
QString dataFolder();
QString defaultDatabase();
// Creates a new SQLite analysis database with the schema, the demo data and the XBRL
// taxonomies' reference data.
void createDatabase(const QString& file);
// Makes sure the data folder, the database, the working folder and Def exist, and that
// the working folder is the product's "WorkingFolder" setting when none is set.
void prepareDefault(const QString& productName);
}  // namespace HostSetup
