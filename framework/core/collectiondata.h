// Collections that fill themselves from the host's data records.
//
// A data collection makes one element of its class as a template (CreateElement), walks
// the host's records with the template's own record operations, and appends a clone of
// the template for every record that loads. Every load first destroys the current
// elements. The collection's custom tag is handed to every element it creates (the
// template, and through it every clone), so that one collection class can load records of
// a related tag.
//
// Loads report nothing: a load that finds no records leaves the collection empty. The
// writing operations return false at the first host failure; whatever the host did
// before it stays done. The template of an operation is destroyed on every path.
#pragma once

#include <cstdint>

#include "framework/core/basedata.h"
#include "framework/core/collection.h"

class __FCInciOther;
class __FCNoInciDetail;

class __FCCollectionData : public __FCCollection {
 public:
  const char* ClassName() const override { return "__FCCollectionData"; }

  // A new, constructed element of the collection's class, owned by the caller.
  virtual __FCBaseData* CreateElement() = 0;
  // Replaces the contents with every record of the element class, in the order the
  // element's LoadFirst and LoadNext deliver them.
  virtual void LoadAll();

  void SetCustomTag(uint32_t tag) { _customtag = tag; }
  uint32_t GetCustomTag() const { return _customtag; }

 protected:
  // CreateElement() carrying the collection's custom tag; null when there is none.
  __FCBaseData* _CreateTemplate();
  // Appends a clone of record. False (nothing appended) when no clone could be made or
  // stored.
  bool _AppendClone(__FCBaseData* record);

 private:
  uint32_t _customtag = 0;
};

// Elements are inci records (__FCInciOther): a gapless list 0, 1, 2, ... under each item
// number.
class __FCCollectionInciOther : public __FCCollectionData {
 public:
  const char* ClassName() const override { return "__FCCollectionInciOther"; }

  // Deletes every record of itemno from the host, the highest inci first, so that the
  // incis still to be deleted keep their numbers while the host closes the gaps. True
  // also when there were none. The collection's elements are not touched.
  virtual bool DeleteDataForItem(unsigned short itemno);
  // Replaces the contents with the records of itemno, incis 0, 1, 2, ... up to the
  // first that does not load.
  virtual void LoadAllForItem(unsigned short itemno);
  // Makes the host's records of itemno equal to the elements: deletes them all, then
  // appends each element in index order (each gets the custom tag first, and its key
  // names its new record afterwards). Null elements are skipped. When an element could
  // never be written (not an inci record, or holding no record), false before anything
  // is deleted.
  virtual bool SaveAllForItem(unsigned short itemno);
  // Copies the host's records of source over those of destination: overwrites incis
  // 0 to s - 1 of destination with the s records of source, then deletes the surplus
  // records of destination from the top. False, with destination left alone, when
  // source has no records.
  bool SaveDataAs(unsigned short source, unsigned short destination);
  // The first element whose key has first item number itemno and inci inci, or null.
  __FCBase* FindItemNo(unsigned short itemno, short inci) const;

 private:
  // The template as an inci record; null (nothing left allocated) when the element
  // class is of another kind.
  __FCInciOther* _CreateInciTemplate();
};

// Elements are one-per-item records (__FCNoInciOther).
class __FCCollectionNoInciOther : public __FCCollectionData {
 public:
  const char* ClassName() const override { return "__FCCollectionNoInciOther"; }

  // The first element whose GetItemNo() equals itemno, or null.
  __FCBase* FindItemNo(unsigned short itemno) const;
};

// The base of the collections of detail records (__FCDetail); the key kinds follow.
class __FCCollectionDetail : public __FCCollectionData {
 public:
  const char* ClassName() const override { return "__FCCollectionDetail"; }
};

// Elements are detail records keyed by two numbers (__FCNoInciDetail).
class __FCCollectionNoInciDetail : public __FCCollectionDetail {
 public:
  const char* ClassName() const override { return "__FCCollectionNoInciDetail"; }

  // Replaces the contents with the records under first item number first and second
  // item numbers second, second + 1, ... up to the first that does not load (and at
  // most up to 0xFFFF: the walk does not wrap around to 0).
  virtual void LoadAllForItem(unsigned short first, unsigned short second);
};
