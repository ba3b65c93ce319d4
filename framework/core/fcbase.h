// The root of the framework's class tree.
//
// Every framework object can report its class name, answer an identity test and carry
// one opaque pointer of the caller's own (the user data). Two helpers set and clear bits
// in the flag words that the record classes keep.
#pragma once

#include <cstdint>

class __FCBase {
 public:
  __FCBase() = default;
  __FCBase(const __FCBase&) = default;
  __FCBase& operator=(const __FCBase&) = default;

  // The class's own name, exactly as the class is named. A class that does not
  // override it reports the name of its nearest base that does.
  virtual const char* ClassName() const { return "__FCBase"; }

  // Whether other stands for the same thing as this object. The root has no identity
  // fields, so every argument (null included) is identical; classes with identity
  // fields override this.
  virtual bool IsIdentical(__FCBase* other) const;

  // Collections own their elements and delete them through __FCBase pointers, so the
  // destructor is virtual. It is declared after the two operations above so that they
  // keep the first two slots.
  virtual ~__FCBase() = default;

  void* GetUserData() const { return _userData; }
  void SetUserData(void* data) { _userData = data; }

  // Set (state true) or clear (state false) the bits of mask in *word, leaving the
  // other bits alone. A null word is ignored.
  static void Set16BitFlag(unsigned short* word, unsigned short mask, bool state);
  static void Set32BitFlag(uint32_t* word, uint32_t mask, bool state);

 private:
  void* _userData = nullptr;
};
