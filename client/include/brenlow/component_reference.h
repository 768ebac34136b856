// TComponentReference: a reference to a component held by something that does not own it (a
// property dialog, another component). The component tells its references when it is
// destroyed, and they become empty instead of pointing at freed memory.
#pragma once

namespace brenlow {

class TQVCustomPDFExport;

class TComponentReference {
 public:
  TComponentReference() = default;
  ~TComponentReference() { Reset(nullptr); }
  TComponentReference(const TComponentReference&) = delete;
  TComponentReference& operator=(const TComponentReference&) = delete;

  // Refers to component from now on (nullptr: to none).
  void Reset(TQVCustomPDFExport* component);
  TQVCustomPDFExport* Get() const { return component_; }

 private:
  friend class TQVCustomPDFExport;
  TQVCustomPDFExport* component_ = nullptr;
};

}  // namespace brenlow
