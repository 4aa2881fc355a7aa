#pragma once
#include <QString>

#include "xbrl/taxonomy/ReferenceData.h"

// The project's itcc-ci material (data/xbrl).
QString xbrlData(const QString& relative);

// The 2018-11-04 reference data as the build generates it, built once.
const taxonomy::GeneratorOptions& options2018();
const taxonomy::ReferenceData& reference2018();
const taxonomy::Chart& chartOf(const QString& code);  // of reference2018()
