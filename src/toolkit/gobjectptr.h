#pragma once
// RAII holder for GObjects: takes a reference on copy, drops it on destroy.
// Never count references by hand; wrap every GObject the program keeps.

#include <glib-object.h>
#include <utility>

namespace dizad::toolkit {

template <typename T>
class TGObjectPtr {
 public:
  TGObjectPtr() = default;
  // Adopts a reference the caller already owns (the "transfer full" results of GIO).
  static TGObjectPtr Adopt(T* object) {
    TGObjectPtr p;
    p.FObject = object;
    return p;
  }
  // Takes a new reference on an object the caller does not own ("transfer none").
  static TGObjectPtr Ref(T* object) {
    TGObjectPtr p;
    p.FObject = object ? static_cast<T*>(g_object_ref(object)) : nullptr;
    return p;
  }

  TGObjectPtr(const TGObjectPtr& other)
      : FObject(other.FObject ? static_cast<T*>(g_object_ref(other.FObject)) : nullptr) {}
  TGObjectPtr(TGObjectPtr&& other) noexcept : FObject(std::exchange(other.FObject, nullptr)) {}
  TGObjectPtr& operator=(TGObjectPtr other) noexcept {
    std::swap(FObject, other.FObject);
    return *this;
  }
  ~TGObjectPtr() { Reset(); }

  void Reset() {
    if (FObject) g_object_unref(std::exchange(FObject, nullptr));
  }
  // Gives the reference to the caller.
  T* Release() { return std::exchange(FObject, nullptr); }

  T* get() const { return FObject; }
  operator T*() const { return FObject; }
  explicit operator bool() const { return FObject != nullptr; }

 private:
  T* FObject = nullptr;
};

}  // namespace dizad::toolkit
