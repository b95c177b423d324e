#pragma once
// Page checksums of the data file.  A file made by this program keeps eight
// bytes at the end of every page (the page's reserved bytes, part of
// SQLite's file format, so that any SQLite program still reads the file):
// a checksum of the rest of the page, written with every page and verified
// with every page read.  A page that fails is never used, so a write never
// builds on a damaged page, without a reading of the whole file first.
struct sqlite3;

namespace cvd {

// Makes the checksumming layer SQLite's default way to the files of this
// process (once; every later call does nothing).
void usePageChecksums();

// A new file, before its first table: its pages carry checksums.
void addPageChecksums(sqlite3* db);

// Whether the connection's file carries checksums, and whether one of its
// pages has failed its checksum since it was opened.
bool hasPageChecksums(sqlite3* db);
bool pageDamageSeen(sqlite3* db);
// Damage found otherwise (SQLite found a page it cannot read).
void notePageDamage(sqlite3* db);

// The reserved bytes at the end of each page of a file with checksums (the
// header's byte 20 says so), and whether a page of `pageSize` bytes read as
// it is from such a file holds its checksum.
constexpr int PageChecksumBytes = 8;

// The page size an SQLite file's header gives (its first 100 bytes: the
// magic text, then the size, where 1 stands for 65,536); 0 for a header
// that is no SQLite file's or a size that is none.
int headerPageSize(const unsigned char* header);
bool pageChecksumHolds(const unsigned char* page, int pageSize);

// How many times this process has written to a database file: a check that
// read a file while it changed sees the count move.
unsigned long long databaseWrites();

} // namespace cvd
