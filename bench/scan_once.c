/* The least work any audit of a log must do: read every row of every table
   once, every column as text, in one read transaction.  Prints the rows,
   the bytes and the CPU seconds of the reading; bench/report_floor.sh
   measures the programs against it.
   Usage: scan_once LOG.db */
#include <sqlite3.h>
#include <stdio.h>
#include <time.h>

static double cpu_seconds(void) {
  struct timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return (double)now.tv_sec + (double)now.tv_nsec * 1e-9;
}

int main(int argc, char **argv) {
  sqlite3 *db;
  sqlite3_stmt *tables, *rows;
  char sql[512];
  unsigned long count = 0, bytes = 0;
  if (argc != 2 || sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, NULL) != SQLITE_OK) {
    fprintf(stderr, "usage: scan_once LOG.db\n");
    return 2;
  }
  double start = cpu_seconds();
  sqlite3_exec(db, "BEGIN", NULL, NULL, NULL);
  if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &tables,
                         NULL) != SQLITE_OK)
    return 1;
  while (sqlite3_step(tables) == SQLITE_ROW) {
    snprintf(sql, sizeof sql, "SELECT * FROM \"%s\"", (const char *)sqlite3_column_text(tables, 0));
    if (sqlite3_prepare_v2(db, sql, -1, &rows, NULL) != SQLITE_OK) return 1;
    int columns = sqlite3_column_count(rows);
    while (sqlite3_step(rows) == SQLITE_ROW) {
      ++count;
      for (int c = 0; c < columns; ++c) {
        sqlite3_column_text(rows, c);
        bytes += (unsigned long)sqlite3_column_bytes(rows, c);
      }
    }
    sqlite3_finalize(rows);
  }
  sqlite3_finalize(tables);
  sqlite3_exec(db, "COMMIT", NULL, NULL, NULL);
  printf("%lu rows %lu bytes %.6f cpu_s\n", count, bytes, cpu_seconds() - start);
  sqlite3_close(db);
  return 0;
}
