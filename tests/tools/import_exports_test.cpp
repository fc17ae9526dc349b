// hipaa-import on files as hospital systems export them: dates in local
// forms, one file's encoding beside another's, UTF-16, repeated rows and
// local codes.
#include "tools/import_fixture.hpp"

#include <gtest/gtest.h>

namespace hipaa::testing {
namespace {

std::vector<std::string> stored(Sandbox& sandbox, const std::string& sql) {
  return TestDb(sandbox.path("out.db")).rows(sql);
}

// One disclose.csv with the given date, imported with the given options:
// the stored time, or the message that refused it.
TEST_F(Import, ReadsDatesInTheFormsExportsWrite) {
  struct Case {
    std::string date;
    std::vector<std::string> options;
    std::string expected; // the stored time, or the whole refusal
  };
  const std::vector<Case> cases = {
      {"2010-01-05T10:00", {}, "2010:01:05:10:00:00"},
      {"2010-01-05 10:00:30", {}, "2010:01:05:10:00:30"},
      {"01/05/2010 10:00 AM", {"--date-format", "%m/%d/%Y %I:%M %p"}, "2010:01:05:10:00:00"},
      {"1/5/2010 12:07 AM", {"--date-format", "%m/%d/%Y %I:%M %p"}, "2010:01:05:00:07:00"},
      {"1/5/2010 12:07 PM", {"--date-format", "disclose=%m/%d/%Y %I:%M %p"}, "2010:01:05:12:07:00"},
      {"05-Jan-10", {"--date-format", "%d-%b-%y"}, "2010:01:05:00:00:00"},
      // The column's format wins over the table's and every column's.
      {"40183.75",
       {"--date-format", "%d/%m/%Y", "--date-format", "disclose.at=excel", "--date-format",
        "disclose=%Y/%m/%d"},
       "2010:01:05:18:00:00"},
      // ISO forms are read whatever the format.
      {"2010-01-05", {"--date-format", "%m/%d/%Y"}, "2010:01:05:00:00:00"},
      {"03/04/2010",
       {},
       "disclose.csv:2: column at: ambiguous date \"03/04/2010\": give --date-format "
       "\"%m/%d/%Y\" (month first) or \"%d/%m/%Y\" (day first)"},
      {"13/04/2010 9:30:00 PM",
       {},
       "disclose.csv:2: column at: date \"13/04/2010 9:30:00 PM\" is written day first; give "
       "--date-format \"%d/%m/%Y %I:%M:%S %p\""},
      {"02/30/2010",
       {"--date-format", "%m/%d/%Y"},
       "disclose.csv:2: column at: invalid date \"02/30/2010\" (expected the form %m/%d/%Y of "
       "--date-format, or YYYY-MM-DD with an optional hh:mm:ss)"},
      {"13:00 PM 2010-01-05",
       {"--date-format", "%I:%M %p %Y-%m-%d"},
       "disclose.csv:2: column at: invalid date \"13:00 PM 2010-01-05\" (expected the form %I:%M "
       "%p %Y-%m-%d of --date-format, or YYYY-MM-DD with an optional hh:mm:ss)"},
  };
  csv("disclose.csv", "");
  for (const Case& each : cases) {
    write_file(sandbox_.path("disclose.csv"), "sender,recipient,info,at\ndr-a,dr-b,m1,\"" +
                                                  each.date + "\"\n");
    std::vector<std::string> args = each.options;
    for (const char* arg : {"-o", "out.db", "--force"}) args.push_back(arg);
    RunResult result = import(args);
    if (each.expected.find(':') == 4) {
      ASSERT_EQ(result.status, 0) << each.date << result.err;
      EXPECT_EQ(stored(sandbox_, "SELECT at FROM disclose"), std::vector<std::string>{each.expected});
    } else {
      EXPECT_EQ(result.status, 1) << each.date;
      EXPECT_EQ(result.err, "hipaa-import: " + each.expected + "\n");
    }
  }
  EXPECT_EQ(import({"--date-format", "%Y-%q"}).status, 2);
  EXPECT_EQ(import({"--date-format", "%H:%M"}).status, 2);
  EXPECT_EQ(import({"--date-format", "%Y-%m-%d %H %p"}).status, 2);
}

TEST_F(Import, TakesEachFilesEncodingAndRefusesOneThatContradictsIt) {
  const std::string header = "sender,recipient,info,at\n";
  write_file(sandbox_.path("legacy.csv"), header + "Pe\xF1" "a,dr-b,m1,2010-01-05\n");
  write_file(sandbox_.path("marked.csv"), "\xEF\xBB\xBF" + header + "Pe\xC3\xB1" "a,dr-b,m2,2010-01-05\n");
  write_file(sandbox_.path("plain.csv"), header + "Pe\xC3\xB1" "a,dr-b,m3,2010-01-05\n");
  // "sender,...\nPeña,..." in UTF-16LE after its mark.
  std::string utf16 = "\xFF\xFE";
  for (unsigned char c : header + "Pe\xF1" "a,dr-b,m4,2010-01-05\n") {
    utf16 += static_cast<char>(c);
    utf16 += '\0';
  }
  write_file(sandbox_.path("unicode.csv"), utf16);
  const std::vector<std::string> out = {"-o", "out.db", "--force"};
  const auto with = [&](std::vector<std::string> args) {
    args.insert(args.end(), out.begin(), out.end());
    return sandbox_.run("hipaa-import", args);
  };

  RunResult mixed = with({"--table", "disclose=legacy.csv:WINDOWS-1252", "--table",
                          "disclose=marked.csv", "--table", "disclose=unicode.csv"});
  ASSERT_EQ(mixed.status, 0) << mixed.err;
  EXPECT_EQ(stored(sandbox_, "SELECT DISTINCT sender FROM disclose"),
            std::vector<std::string>{"\"Pe\xC3\xB1" "a\""});
  EXPECT_EQ(stored(sandbox_, "SELECT count(*) FROM disclose"), std::vector<std::string>{"3"});
  // --encoding applies to every file without its own.
  EXPECT_EQ(with({"--encoding", "WINDOWS-1252", "--table", "disclose=legacy.csv", "--table",
                  "disclose=plain.csv:UTF-8"}).status,
            0);

  RunResult marked = with({"--encoding", "WINDOWS-1252", "--table", "disclose=marked.csv"});
  EXPECT_EQ(marked.status, 1);
  EXPECT_EQ(marked.err, "hipaa-import: marked.csv: the file starts with a UTF-8 byte-order mark but "
                        "is declared WINDOWS-1252; leave out its encoding, or give "
                        "--force-encoding to read it as declared\n");
  RunResult plain = with({"--table", "disclose=plain.csv:WINDOWS-1252"});
  EXPECT_EQ(plain.status, 1);
  EXPECT_EQ(plain.err, "hipaa-import: plain.csv: the file is valid UTF-8 but is declared "
                       "WINDOWS-1252, which would read \"Pe\xC3\xB1" "a\" as \"Pe\xC3\x83\xC2\xB1"
                       "a\"; leave out its encoding, or give --force-encoding to read it as "
                       "declared\n");
  ASSERT_EQ(with({"--force-encoding", "--table", "disclose=plain.csv:WINDOWS-1252"}).status, 0);
  EXPECT_EQ(stored(sandbox_, "SELECT sender FROM disclose"),
            std::vector<std::string>{"\"Pe\xC3\x83\xC2\xB1" "a\""});
  write_file(sandbox_.path("cut.csv"), utf16.substr(0, utf16.size() - 1));
  RunResult cut = with({"--table", "disclose=cut.csv"});
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.err, "hipaa-import: cut.csv:2: the file is not UTF-16LE text\n");
  EXPECT_EQ(with({"--table", "disclose=plain.csv:NO-SUCH-CODE"}).status, 2);
  // Without its mark, a UTF-16 file needs its encoding.
  write_file(sandbox_.path("bare.csv"), utf16.substr(2));
  RunResult bare = with({"--table", "disclose=bare.csv"});
  EXPECT_EQ(bare.err, "hipaa-import: bare.csv:1: the header holds a NUL byte at character 2 (a "
                      "UTF-16 file without a byte-order mark? give its encoding: bare.csv:UTF-16LE "
                      "or :UTF-16BE)\n");
  EXPECT_EQ(with({"--table", "disclose=bare.csv:UTF-16LE"}).status, 0);
}

TEST_F(Import, ReportsRepeatedRowsWithTheirLinesAndDropsThemOnRequest) {
  csv("disclose.csv", "sender,recipient,info,at\n"
                      "dr-a,dr-b,m1,2010-01-05 10:00\n"
                      "dr-a,dr-b,m2,2010-01-05 10:00\n"
                      "dr-a,dr-b,m1,01/05/2010 10:00 AM\n");
  csv("hasattrof_db.csv", "info,subject,attr,recorded\n"
                          "m1,pat,diagnosis,2010-01-05\n"
                          "\"m1\",\"pat\",diagnosis,2010-01-05\n");
  RunResult refused = import({"--date-format", "%m/%d/%Y %I:%M %p"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "hipaa-import: disclose.csv:4: repeats disclose.csv:2 exactly (--dedupe keeps only "
            "the first)\n"
            "hipaa-import: hasattrof_db.csv:3: repeats hasattrof_db.csv:2 exactly (--dedupe keeps "
            "only the first)\n"
            "hipaa-import: 2 problems; nothing written\n");
  expect_nothing_written();

  RunResult kept = import({"--date-format", "%m/%d/%Y %I:%M %p", "--dedupe", "-o", "out.db"});
  ASSERT_EQ(kept.status, 0) << kept.err;
  EXPECT_EQ(kept.out, "hipaa-import: 3 rows from 2 files written to out.db (2 exact repeats left "
                      "out)\n");
  EXPECT_EQ(stored(sandbox_, "SELECT info FROM disclose"),
            (std::vector<std::string>{"\"m1\"", "\"m2\""}));
  EXPECT_EQ(stored(sandbox_, "SELECT count(*) FROM hasattrof_db"), std::vector<std::string>{"1"});
}

TEST_F(Import, TranslatesLocalCodesAndListsValuesWithTheirParagraphs) {
  csv("purp_in_db.csv", "info,purpose,stated_by\nm1,ROI-LEGAL,dr-a\nm2,treatment,dr-a\n");
  write_file(sandbox_.path("codes.csv"), "sort,local,constant\n"
                                         "purpose,ROI-LEGAL,judicial-proceeding\n"
                                         "role,MD,health-care-provider\n");
  ASSERT_EQ(import({"--map", "codes.csv", "-o", "out.db"}).status, 0);
  EXPECT_EQ(stored(sandbox_, "SELECT purpose FROM purp_in_db"),
            (std::vector<std::string>{"judicial-proceeding", "treatment"}));
  // The translation is kept beside the log, for readers that name the
  // local codes.
  EXPECT_EQ(stored(sandbox_, "SELECT * FROM hipaa_import_codes"),
            (std::vector<std::string>{"purpose|ROI-LEGAL|judicial-proceeding",
                                      "role|MD|health-care-provider"}));
  // The lines and codes the importer records are no log tables to export.
  ASSERT_EQ(sandbox_.run("hipaa-export", {"--db", "out.db", "--out", "exported"}).status, 0);
  EXPECT_TRUE(sandbox_.exists("exported/purp_in_db.csv"));
  EXPECT_FALSE(sandbox_.exists("exported/hipaa_import_lines.csv"));
  EXPECT_FALSE(sandbox_.exists("exported/hipaa_import_codes.csv"));

  const std::vector<std::pair<std::string, std::string>> bad = {
      {"sort,local,constant\ncolour,X,red\n", "codes.csv:2: \"colour\" is not a declared sort"},
      {"sort,local,constant\npurpose,X,treatmnt\n",
       "codes.csv:2: \"treatmnt\" is not a declared purpose; did you mean \"treatment\" or "
       "\"Treatment\"?"},
      {"sort,local,constant\npurpose,X,treatment\npurpose,X,payment\n",
       "codes.csv:3: local code \"X\" already stands for treatment"},
      {"local,constant\n", "codes.csv:1: the header must be sort,local,constant"},
  };
  for (const auto& [text, message] : bad) {
    write_file(sandbox_.path("codes.csv"), text);
    RunResult result = import({"--map", "codes.csv", "-o", "bad.db"});
    EXPECT_EQ(result.status, 1) << text;
    EXPECT_EQ(result.err, "hipaa-import: " + message + "\n");
  }

  RunResult listed = import({"--list-values", "purpose"});
  EXPECT_EQ(listed.status, 0);
  const std::size_t at = listed.out.find("\njudicial-proceeding ");
  ASSERT_NE(at, std::string::npos) << listed.out;
  const std::string line = listed.out.substr(at + 1, listed.out.find('\n', at + 1) - at - 1);
  EXPECT_NE(line.find("  45 CFR 164.512(e)  "), std::string::npos) << line;
  EXPECT_NE(line.find("  In a judicial or administrative proceeding"), std::string::npos) << line;
}

} // namespace
} // namespace hipaa::testing
