# The itcc-ci reference data: a generator reads each taxonomy version's files at build
# time and its SQL is embedded in ktrcore under :/taxonomy/. A later version is one more
# ktr_taxonomy() call with its folder and the codes of the import's taxonomy table.

add_library(ktrtaxonomy STATIC
  xbrl/taxonomy/TaxonomyFiles.cpp xbrl/taxonomy/TaxonomyFiles.h
  xbrl/taxonomy/LabelModel.cpp xbrl/taxonomy/LabelModel.h
  xbrl/taxonomy/ItemCodes.cpp xbrl/taxonomy/ItemCodes.h
  xbrl/taxonomy/PostingRules.cpp xbrl/taxonomy/PostingRules.h
  xbrl/taxonomy/ReferenceData.cpp xbrl/taxonomy/ReferenceData.h
  platform/host/SqlText.cpp platform/host/SqlText.h)
target_include_directories(ktrtaxonomy PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ktrtaxonomy PUBLIC Qt6::Core pugixml::pugixml)
target_compile_options(ktrtaxonomy PRIVATE -Wall -Wextra)

add_executable(ktr-taxonomy xbrl/taxonomy/main.cpp)
target_link_libraries(ktr-taxonomy PRIVATE ktrtaxonomy)
target_compile_options(ktr-taxonomy PRIVATE -Wall -Wextra)

set(KTR_TAXONOMY_LABELS ${CMAKE_SOURCE_DIR}/data/xbrl/reference/oresteafrica-bilancio_xbrl/mapping.xml)
set(KTR_TAXONOMY_SQL)

# ktr_taxonomy(<version folder under data/xbrl/taxonomy> <QD50 code> <form:chart:schema:base model>...)
function(ktr_taxonomy version code)
  set(folder ${CMAKE_SOURCE_DIR}/data/xbrl/taxonomy/${version})
  set(output ${CMAKE_BINARY_DIR}/taxonomy/itcc-ci-${version}.sql)
  set(forms)
  foreach(f IN LISTS ARGN)
    list(APPEND forms --form ${f})
  endforeach()
  file(GLOB inputs CONFIGURE_DEPENDS ${folder}/*)
  add_custom_command(OUTPUT ${output}
    COMMAND ktr-taxonomy --taxonomy ${folder} --labels ${KTR_TAXONOMY_LABELS} --code ${code} ${forms} --output ${output}
    DEPENDS ktr-taxonomy ${inputs} ${KTR_TAXONOMY_LABELS}
    COMMENT "Dati di riferimento della tassonomia itcc-ci ${version}"
    VERBATIM)
  set(KTR_TAXONOMY_SQL ${KTR_TAXONOMY_SQL} ${output} PARENT_SCOPE)
endfunction()

ktr_taxonomy(2018-11-04 8 ese:97:KXCE97:KXCE85 abb:98:KXCE98:KXCE86 micr:99:KXCE99:KXCE86 cons:97CO:KXCO97:KXCE85)

qt_add_resources(ktrcore taxonomy PREFIX /taxonomy BASE ${CMAKE_BINARY_DIR}/taxonomy FILES ${KTR_TAXONOMY_SQL})
