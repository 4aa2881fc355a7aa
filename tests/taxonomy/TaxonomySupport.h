#pragma once
#include "TestDb.h"
#include "xbrl/taxonomy/ReferenceData.h"
#include <QMap>
#include <QString>
#include <ostream>
#include <vector>

class Connection;

// The project's itcc-ci material (data/xbrl).
QString xbrlData(const QString& relative);

// The 2018-11-04 reference data as the build generates it, built once.
const taxonomy::GeneratorOptions& options2018();
const taxonomy::ReferenceData& reference2018();

// Test helper standing in for the XBRL import's posting until the import lands: it reads a
// filing and posts its facts the way the import does (decimals carried from fact to fact,
// the mapping query, the filter, the row type, the section sign and the sign and account
// rules), into totals per year and section instead of value rows.
struct Fact {
    QString name;  // "itcc-ci:TotaleAttivo", or any other node the walk meets
    QString year;  // of the context last referred to
    QString text;
    int decimals = 0;  // the last numeric "decimals" met, as the import keeps it
};

struct Filing {
    QString namespaceUri;
    QString schemaRef;
    std::vector<Fact> facts;  // in document order
    double fact(const QString& name, const QString& year) const;
};

Filing readFiling(const QString& path);

struct Posted {
    QMap<QString, QMap<QString, double>> bySection;  // year -> section -> sum
    QMap<QString, QMap<QString, double>> byAccount;  // year -> account -> sum
    double section(const QString& year, const QString& s) const { return bySection.value(year).value(s); }
    // Everything but memorandum accounts.
    double total(const QString& year) const;
};

Posted post(Connection& connection, const Filing& filing);
