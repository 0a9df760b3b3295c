# The catalog queues, the custom field-types file and the TXD writer.
pex_library(catalog_queues
  SOURCES catalog_queues.cpp
  DEPS platform_core)

pex_library(catalog_txd
  SOURCES
    make_label.cpp field_types.cpp txd_writer_file.cpp txd_writer_lines.cpp txd_writer_types.cpp
    txd_writer_source.cpp txd_writer.cpp txd_relations.cpp
  DEPS catalog catalog_queues platform_files platform_core)

pex_library(catalog_txd_testing
  SOURCES txd_test_support.cpp
  DEPS catalog_queues platform_core)

pex_test(catalog_queues_test
  SOURCES catalog_queues_test.cpp
  DEPS catalog_queues)

pex_test(catalog_txd_test
  SOURCES make_label_test.cpp field_types_test.cpp txd_writer_types_test.cpp txd_writer_test.cpp
    txd_relations_test.cpp
  DEPS catalog_txd catalog_txd_testing platform_testing)

pex_test(catalog_txd_odbc_test
  SOURCES txd_writer_odbc_test.cpp
  DEPS catalog_txd catalog_txd_testing platform_testing_odbc)

pex_test(catalog_txd_relations_odbc_test
  SOURCES txd_relations_odbc_test.cpp
  DEPS catalog_txd catalog_txd_testing platform_testing_sample)
