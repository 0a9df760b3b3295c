// The keyed-file driver: each file is one SQLite database, named exactly as the program names
// the file (no extension added), that holds the records, an index per declared key and the
// record layout it was created with.
//
//   File steps(FileDeclaration{.label = "AGNTFILE", .name = "AGNTFILE", .layout = ...,
//                              .record = &agf, .keys = {...}, .create = true},
//              MakeKeyedDriver());
//   if (!steps.Open(kReadWrite | kDenyNone)) Message(...);
//
// What the statements answer (through ERRORCODE(), ERROR(), FILEERROR(), FILEERRORCODE()):
//   OPEN     2 the file is missing (with the CREATE attribute it is created instead),
//            3 its directory is missing, 5 it may not be read (or written, unless opened
//            read-only) or is a directory, 36 it is no keyed file, 47 "Invalid Record
//            Declaration" when the stored fields or keys differ from the declared ones.
//            A transaction that a killed process left in the file is rolled back first, also
//            with read-only access; a file the user may not write answers 5 until then.
//   CREATE   makes the file anew and empty, replacing it whole; 52 while it is open.
//   SET      SET(file): file order. SetKey(k, false): key k from its start (or end, for
//            PREVIOUS). SetKey(k, true): from the key values in the record buffer; NEXT reads
//            the first record not before them in key order, PREVIOUS the first not after.
//   NEXT, PREVIOUS  33 past the end or without a SET. A record deleted during the scan (by
//            DELETE or by another process) is simply passed over.
//   GET      by all values of a key, exactly (NOCASE keys ignoring case, trailing blanks never
//            counting); 35 "Record Not Found" leaves the buffer as it was.
//   ADD, PUT 40 "Creating Duplicate Key" on a unique key; 5 on a file opened read-only.
//   PUT, DELETE, POSITION  work on the current record (the last one read or added); 33
//            without one. POSITION answers a text that REGET reads the record back by.
//   Key order: components ascending or descending as declared; texts bytewise (NOCASE:
//            ASCII letters folded), trailing blanks ignored; equal keys in the order added.
//            An optional (OPT) key leaves out the records whose key fields are all blank or 0.
// Texts are stored byte for byte, NUL bytes included; numbers as numbers.
// PROP:LogoutOrder (7301h) enrols the open file for LOGOUT (transaction.h). EXISTS, COPY and
// REMOVE: file_system.h. Access modes: read-only or read/write; the deny flags are not
// enforced between processes (SQLite's locks keep concurrent writers apart).
#pragma once

#include <memory>

#include "platform/files/file.h"

namespace platform::files {

// A new keyed driver for one File; the File owns it.
std::unique_ptr<Driver> MakeKeyedDriver();

}  // namespace platform::files
