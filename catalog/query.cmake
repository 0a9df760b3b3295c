# The statement class, the program's ODBC globals and the catalog readers.
pex_library(catalog
  SOURCES odbc_query.cpp globals.cpp catalog_rows.cpp catalog_readers.cpp
  DEPS platform_odbc platform_files platform_ui platform_core)

pex_test(catalog_query_test
  SOURCES odbc_query_test.cpp
  DEPS catalog platform_testing_odbc)

pex_test(catalog_readers_test
  SOURCES catalog_readers_test.cpp catalog_rows_test.cpp
  DEPS catalog catalog_queues platform_testing_odbc platform_headless)
