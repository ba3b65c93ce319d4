// Key signatures: names, accidentals, tonic and identity of the host's key values.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/notation/keysignature.h"
#include "framework/text/fcstring.h"

namespace {

std::string Hex(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value) & 0xFFFF);
  return text;
}

// A key signature made with a key value.
struct Key : FCKeySignature {
  explicit Key(int value) { SetKeyValue(static_cast<short>(value)); }
};

std::string Name(int value) {
  FCKeySignature key;
  key.SetKeyValue(static_cast<short>(value));
  FCString name;
  key.MakeString(&name);
  return name.GetCString();
}

TEST(KeySignatureName, NamesEveryMajorAndMinorKeyAndNothingForNonStandardKeys) {
  struct Row {
    int value;
    const char* name;
  };
  const Row rows[] = {
      {0x0000, "C major"},
      {0x0001, "G major"},
      {0x0002, "D major"},
      {0x0003, "A major"},
      {0x0004, "E major"},
      {0x0005, "B major"},
      {0x0006, "F sharp major"},
      {0x0007, "C sharp major"},
      {0x00FF, "F major"},
      {0x00FE, "B flat major"},
      {0x00FD, "E flat major"},
      {0x00FC, "A flat major"},
      {0x00FB, "D flat major"},
      {0x00FA, "G flat major"},
      {0x00F9, "C flat major"},
      {0x0100, "a minor"},
      {0x0101, "e minor"},
      {0x0102, "b minor"},
      {0x0103, "f sharp minor"},
      {0x0104, "c sharp minor"},
      {0x0105, "g sharp minor"},
      {0x0106, "d sharp minor"},
      {0x0107, "a sharp minor"},
      {0x01FF, "d minor"},
      {0x01FE, "g minor"},
      {0x01FD, "c minor"},
      {0x01FC, "f minor"},
      {0x01FB, "b flat minor"},
      {0x01FA, "e flat minor"},
      {0x01F9, "a flat minor"},
      // Non-standard keys have no name.
      {0x0200, ""},
      {0x0300, ""},
      {0x4000, ""},
      {0x8000, ""},
      {0xFFFF, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Hex(row.value));
    EXPECT_EQ(Name(row.value), row.name);
  }
}

TEST(KeySignatureCalculations, CountAccidentalsAndFindTheTonic) {
  struct Row {
    int value;
    int sharps, flats, root, relation, absolute;
  };
  // Letters: 0 A .. 6 G. Steps above C: 0 C .. 6 B.
  const Row rows[] = {
      {0x0000, 0, 0, 2, 0, 0},  // C major
      {0x0001, 1, 0, 6, 4, 4},  // G major
      {0x0005, 5, 0, 1, 6, 6},  // B major
      {0x00FF, 0, 1, 5, 3, 3},  // F major
      {0x00FD, 0, 3, 4, 2, 2},  // E flat major
      // C flat major: seven flats give 0, steps are modulo 7 (framework-behaviour.md, Root
      // relation).
      {0x00F9, 0, 7, 2, 0, 0},
      {0x00F2, 0, 14, 2, 0, 0},  // fourteen flats: C again
      {0x01F9, 0, 7, 0, 0, 5},   // a flat minor
      {0x0100, 0, 0, 0, 0, 5},   // a minor
      {0x01FF, 0, 1, 3, 3, 1},   // d minor
      {0x0104, 4, 0, 2, 2, 0},   // c sharp minor
      {0x0107, 7, 0, 0, 0, 5},   // a sharp minor
      {0x01FB, 0, 5, 1, 1, 6},   // b flat minor
      {0x0200, -1, -1, -1, -1, -1},
      {0x0300, -1, -1, -1, -1, -1},
      {0x8001, -1, -1, -1, -1, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Hex(row.value));
    Key key(row.value);
    EXPECT_EQ(key.CalcSharps(), row.sharps);
    EXPECT_EQ(key.CalcFlats(), row.flats);
    EXPECT_EQ(key.CalcScaleRootIndex(), row.root);
    EXPECT_EQ(key.CalcRootRelationIndex(), row.relation);
    EXPECT_EQ(key.CalcRootRelationAbsoluteIndex(), row.absolute);
  }
}

// The letters (A to G) for which a key answers true.
std::string Letters(const FCKeySignature& key, bool sharp) {
  std::string letters;
  for (int letter = 0; letter < 7; ++letter)
    if (sharp ? key.IsSharpNote(letter) : key.IsFlatNote(letter))
      letters += static_cast<char>('A' + letter);
  return letters;
}

TEST(KeySignatureAccidentals, SharpsComeInTheOrderFCGDAEBAndFlatsInReverse) {
  struct Row {
    int count;
    const char* sharps;  // of the major key with count sharps
    const char* flats;   // of the major key with count flats
  };
  const Row rows[] = {
      {0, "", ""},
      {1, "F", "B"},
      {2, "CF", "BE"},
      {3, "CFG", "ABE"},
      {4, "CDFG", "ABDE"},
      {5, "ACDFG", "ABDEG"},
      {6, "ACDEFG", "ABCDEG"},
      {7, "ABCDEFG", "ABCDEFG"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.count);
    for (int mode : {0x0000, 0x0100}) {
      SCOPED_TRACE(mode ? "minor" : "major");
      Key sharpKey(mode | row.count);
      Key flatKey(mode | ((-row.count) & 0xFF));
      EXPECT_EQ(Letters(sharpKey, true), row.sharps);
      EXPECT_EQ(Letters(flatKey, false), row.flats);
      EXPECT_EQ(Letters(sharpKey, false), "") << "a sharp key has no flats";
      EXPECT_EQ(Letters(flatKey, true), "") << "a flat key has no sharps";
    }
  }
}

TEST(KeySignatureIdentity, SameModeClassTonicAndAccidentals) {
  struct Row {
    int a, b;
    bool identical;
  };
  const Row rows[] = {
      {0x0000, 0x0000, true},
      {0x0002, 0x0002, true},
      {0x0000, 0x0100, false},  // C major and a minor share no mode
      {0x0001, 0x0101, false},
      {0x0006, 0x00FA, false},  // F sharp and G flat major: other letters
      {0x0007, 0x00F9, false},  // C sharp and C flat major: same letter, other accidentals
      {0x0000, 0x0200, false},  // a major key and a non-standard one
      {0x0100, 0x0200, false},
      {0x0200, 0x0300, true},  // two non-standard keys are always identical
      {0x8000, 0x0200, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Hex(row.a) + " " + Hex(row.b));
    Key a(row.a);
    Key b(row.b);
    EXPECT_EQ(a.IsIdentical(&b), row.identical);
    EXPECT_EQ(b.IsIdentical(&a), row.identical);
  }
  FCKeySignature key;
  EXPECT_FALSE(key.IsIdentical(static_cast<FCKeySignature*>(nullptr)));
}

}  // namespace
