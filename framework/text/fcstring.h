// The framework's string.
//
// Text is kept as 16-bit code units. 8-bit C strings are the host's 8-bit text: they are
// widened through the host's 8-bit code page (the system's code page on Windows,
// Windows-1252 on the POSIX build), and code units are narrowed back the same way, a
// character the code page cannot hold becoming '?'. Every byte converts, so text that
// enters as bytes leaves as the same bytes. Storage grows in steps of 10 code units and
// never shrinks, except that setting the empty text through SetCString or
// SetUnicodeString releases it.
//
// Out-of-range indexes are refused quietly: reads give 0 or false, writes do nothing.
#pragma once

#include <string>

#include "framework/core/fcbase.h"
#include "platform/fxwin.h"

// The host's path record. Its leading member is a 0-terminated UTF-16 path; only that
// member is read here. 1024 code units leave room for any path the host hands over;
// a path that fills the array without a terminator is cut at the array's end.
struct FinPathSpec2012 {
  unsigned short path[1024];
};

class FCString : public __FCBase {
 public:
  FCString();
  explicit FCString(const char* text);
  FCString(const FCString& other);
  FCString& operator=(const FCString& other);
  ~FCString() override;

  const char* ClassName() const override { return "FCString"; }

  // --- Size ----------------------------------------------------------------------

  int GetLength() const { return _length; }
  // Number of code units allocated; 0 when the string holds no storage.
  int GetCapacity() const { return _capacity; }
  // Cuts the text after its first length code units. Only lowers the length; storage
  // stays as it was. Values below 0 or above the current length are ignored.
  void SetLength(int length);

  // Makes room for at least needed + 1 code units. Every operation that adds units
  // calls it with the length the text will have.
  void _ExpandStorageIfNecessary(int needed);

  // --- Conversion ----------------------------------------------------------------

  // The narrowed, NUL-terminated text, in a buffer the string owns. Every call frees
  // the buffer of the previous call and builds a new one; the pointer is valid until
  // the next GetCString on this string or its destruction, and does not follow later
  // edits. No other operation touches this buffer.
  char* GetCString();
  // Copies the code units and a terminating 0 unit; destination needs room for
  // GetLength() + 1 units.
  void GetUnicodeString(unsigned short* destination) const;

  // Replace the content. An empty (or null) text releases the storage.
  void SetCString(const char* text);
  void SetUnicodeString(const unsigned short* text);
  // Replaces the content with the code units of other. Setting a string from itself
  // leaves it unchanged; a null other leaves it unchanged.
  void SetString(const FCString* other);
  // Sets the string to the path held by the host's path record. False, with nothing
  // changed, for a null record.
  bool MakeFullFilePath(const FinPathSpec2012* path);

  // --- Appending and editing -----------------------------------------------------

  void Append(const char* text);
  // Appends the units other holds when the call begins (a string appended to itself
  // doubles).
  void Append(const FCString* other);
  void Append(unsigned short unit);
  // Decimal form as printf's "%d" gives it.
  void AppendInteger(int value);
  void SetInteger(int value);
  // Inserts the widened text before code unit position (0 to GetLength()). Any other
  // position is refused and nothing changes.
  void Insert(const char* text, int position);
  // Replaces every occurrence of find by replacement; true when at least one was
  // replaced. After each replacement the text is searched again, so occurrences that
  // a replacement forms with the text around it are replaced too. When replacement
  // itself contains find, the search instead resumes after the inserted text. An empty
  // or null find, or a null replacement, replaces nothing. Time grows with the length
  // of the text and of what is inserted. When replacements keep forming new
  // occurrences beyond a bound of about twice the work of a pass without such cascades
  // (see the source), Replace stops, answers false and leaves the text as it was.
  bool Replace(const char* find, const char* replacement);
  void SetItemAt(int index, unsigned short unit);
  bool DeleteCharacterAt(int index);
  // Removes count units from start. Refused (false, nothing changed) when start is
  // outside the text, count is below 1, or the range runs past the end.
  bool DeleteCharactersAt(int start, int count);
  // Removes space, CR, LF and tab from the end, then from the start.
  void TrimWhitespace();

  // --- Reading and testing -------------------------------------------------------

  unsigned short GetItemAt(int index) const;
  bool IsCharacter(int index, unsigned short unit) const;
  // Whether the unit at index equals one of the bytes of set. Bytes are compared as
  // signed chars, so only 0x01-0x7F can match.
  bool IsCharacter(int index, const char* set) const;
  // The C library's white-space test in its current locale; units above 0xFF are
  // never white space.
  bool IsWhitespace(int index) const;
  bool IsDigit(int index) const;
  bool IsAllDigits() const;
  // atoi / atof of the narrowed text from byte start on; 0 when start is negative or
  // beyond the length. Integers out of range saturate at INT_MIN / INT_MAX.
  int GetInteger(int start = 0) const;
  float GetFloat(int start = 0) const;
  // Whether the units of what occur in the text; the index of the first occurrence
  // goes to *position when position is not null. An empty what is found at 0.
  bool Contains(const FCString* what, int* position = nullptr) const;
  // Byte comparisons against the narrowed text (which ends at the first 0 unit). Null
  // arguments give false.
  bool StartsWith(const char* prefix) const;
  bool EndsWith(const char* suffix) const;
  bool IsEqual(const char* text) const;
  bool IsEqual(const FCString* other) const;

  // --- Resources -----------------------------------------------------------------

  // Loads string-table entry id. A non-null moduleFileName looks up that loaded module
  // and remembers it for all later loads; null uses the remembered module. A missing
  // entry gives the text "Resource String Error" and false.
  bool LoadResource(int id, const char* moduleFileName);

  // The module whose string table LoadResource reads; null until a name is given.
  static HINSTANCE _ResInstance;

  // --- Inline text tags ----------------------------------------------------------
  // The operations on the host's inline text tags (^font(...), ^size(...) and the
  // like) are declared here and defined in framework/text/fcstring_tags.cpp.
  //
  // A tag begins at a caret that is not followed by a second caret; ^^ is an escaped
  // caret (text). The tag word runs to the first comma or parenthesis; the arguments
  // stand between parentheses, separated by commas. Lists are returned as a new
  // FCStrings that the caller owns together with its strings. None of these reads
  // outside the text, whatever it holds.

  // Whether the text begins with ^title(), ^subtitle(), ^composer(), ^arranger(),
  // ^lyricist() or ^copyright() respectively.
  bool IsEnigmaFileInfoTitle() const;
  bool IsEnigmaFileInfoSubtitle() const;
  bool IsEnigmaFileInfoComposer() const;
  bool IsEnigmaFileInfoArranger() const;
  bool IsEnigmaFileInfoLyricist() const;
  bool IsEnigmaFileInfoCopyright() const;

  // Removes every tag (each ending at its first closing parenthesis; one left open
  // takes the rest of the text with it) and turns each ^^ into one caret. True when
  // at least one tag began. The text never grows.
  bool TrimEnigmaTags();
  // Removes the font, size and effects tags (those beginning ^font, ^Font, ^nfx or
  // ^size, each ending at its first closing parenthesis), keeps all other tags, and
  // turns each ^^ into one caret. A tag left open at the end is no complete tag: it
  // stays, with the text after it, as it was. True when at least one complete font,
  // size or effects tag was removed.
  bool TrimEnigmaFontTags();
  // The text cut into pieces in order: each tag (caret to the parenthesis that closes
  // its first opening one; an unbalanced tag runs to the end) and, when includeText is
  // true, each run of plain text and each escaped caret (as ^^).
  class FCStrings* CreateEnigmaStrings(bool includeText) const;
  // For a text that begins with a caret and is at least two units long: the units
  // after the caret cut at every comma and parenthesis, empty parts dropped (the tag
  // word, then its arguments). Null for any other text.
  class FCStrings* CreateEnigmaComponents() const;
  // The text begins with a single caret and its tag word is font, Font, fontMus,
  // fontTxt or fontNum.
  bool IsEnigmaFont() const;
  // The text begins with a single caret and its tag word is a file-information insert
  // (title, subtitle, composer, arranger, lyricist, copyright, description, partname)
  // or, when fileInfoOnly is false, one of the other inserts as well (date, fdate,
  // time, filename, page, totpages, cprsym, sharp, flat, natural, dbsharp, dbflat).
  bool IsEnigmaTextInsert(bool fileInfoOnly) const;
  // Whether any tag of the text passes IsEnigmaTextInsert(fileInfoOnly).
  bool ContainsEnigmaTextInsert(bool fileInfoOnly) const;
  // A new font description (owned by the caller) as in force at the end of the text:
  // "Times New Roman", 12, 0, changed by each font, size and effects tag in order.
  class FCFontInfo* CreateLastFontInfo() const;
  // The text cut into rows at each line feed. A line feed at the very end adds no
  // empty row; the empty text gives no rows.
  class FCStrings* CreateStringRows() const;
  // The text cut at every unit that is one of the bytes of separators (as
  // IsCharacter), empty parts dropped.
  class FCStrings* CreateParsedStrings(const char* separators) const;

 private:
  // The trimming passes' one walk: removes, in place, each closed tag that drop accepts;
  // a tag left open at the end is kept as it was when keepOpen is true, else removed;
  // an escaped caret outside a tag becomes one caret.
  void _RemoveTags(bool (*drop)(const unsigned short* tag, int length), bool keepOpen,
                   bool* tagBegan, bool* closedDropped);
  // The narrowed text of the units [start, start + count), ending at the first 0 unit.
  std::string _Narrowed(int start, int count) const;
  // Index of the first occurrence of the units [units, units + count) at or after
  // from, or -1.
  int _Find(const unsigned short* units, int count, int from) const;
  void _ReleaseStorage();

  int32_t _length = 0;
  int32_t _capacity = 0;
  unsigned short* _units = nullptr;
  char* _cstring = nullptr;
};
