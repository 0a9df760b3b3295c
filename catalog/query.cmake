# The statement class, the program's ODBC globals and the catalog readers.
pex_library(catalog
  SOURCES odbc_query.cpp globals.cpp
  DEPS platform_odbc platform_files platform_core)

pex_test(catalog_query_test
  SOURCES odbc_query_test.cpp
  DEPS catalog platform_testing_odbc)
