// Root of the table family's classes that can take their content from another object.
#pragma once

#include <string_view>

namespace setup {

class TDataTables;

class TPersistentBase {
 public:
  TPersistentBase() = default;
  TPersistentBase(const TPersistentBase&) = delete;
  TPersistentBase& operator=(const TPersistentBase&) = delete;
  virtual ~TPersistentBase() = default;

  // Takes the content of Source. By default nothing can be assigned: the source is asked to
  // assign itself (AssignTo), and the default of that fails with
  // "Cannot assign a <source class> to a <target class>".
  virtual void Assign(const TPersistentBase& Source);

  virtual std::u16string_view ClassName() const = 0;

  // The object as a table collection, or null. (The Windows programs are built without run-time
  // type information, so no dynamic_cast.)
  virtual const TDataTables* AsDataTables() const noexcept { return nullptr; }

 protected:
  virtual void AssignTo(TPersistentBase& Dest) const;
  [[noreturn]] void AssignError(const TPersistentBase& Source) const;
};

}  // namespace setup
