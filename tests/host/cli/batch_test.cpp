// fxthost batch on the lines of a stream (host/cli/batch.cpp): what a line may hold and
// how the file ends (fxthost.md, batch).
#include "host/cli/batch.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

// Gives its text, then fails as a disk does: the stream takes the throw for a read error.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string text) : text_(std::move(text)) {
    setg(&text_[0], &text_[0], &text_[0] + text_.size());
  }

 protected:
  int_type underflow() override { throw std::runtime_error("read error"); }

 private:
  std::string text_;
};

// Standard output and error captured while it lives.
struct Captured {
  std::ostringstream out, err;
  std::streambuf* oldOut = std::cout.rdbuf(out.rdbuf());
  std::streambuf* oldErr = std::cerr.rdbuf(err.rdbuf());
  ~Captured() {
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
  }
};

TEST(Batch, WhatALineHoldsAndHowTheFileEnds) {
  using namespace std::string_literals;
  const struct {
    const char* label;
    std::string text;
    bool readError;  // the stream fails after the text
    int status;
    const char* out;  // what standard output holds
    const char* err;  // part of standard error; "" for nothing
  } rows[] = {
      {"a byte-order mark opens line 1", "\xEF\xBB\xBF# comment\n--version\n", false, 0,
       "== 1: --version\nfxthost ", ""},
      {"a mark elsewhere is a word's", "# comment\n\xEF\xBB\xBF# more\n", false, 2,
       "== 1: \xEF\xBB\xBF# more\n== 1: exit 2\n", "A subcommand is required"},
      {"a NUL byte refuses its line", "show keep\0.bak.json\n--version\n"s, false, 2, "",
       "b.txt line 1: a NUL byte at column 10; a line is text\n"},
      {"a read error ends the batch", "--version\n", true, 2, "",
       "fxthost: cannot read the batch file b.txt after line 1; the batch stops there\n"},
      {"the end of the file ends it", "--version\n", false, 0, "== 1: exit 0\n", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FailingBuffer failing(row.text);
    std::istringstream plain(row.text);
    std::istream failingStream(&failing);
    std::istream& in = row.readError ? failingStream : plain;
    Captured captured;
    const int status = fxthost::RunBatch(in, "b.txt");
    const std::string out = captured.out.str(), err = captured.err.str();
    EXPECT_EQ(status, row.status) << out << err;
    EXPECT_NE(out.find(row.out), std::string::npos) << out;
    if (*row.err)
      EXPECT_NE(err.find(row.err), std::string::npos) << err;
    else
      EXPECT_EQ(err, "") << err;
  }
}

}  // namespace
