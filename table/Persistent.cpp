#include "table/Persistent.h"

#include "base/Errors.h"

namespace setup {

void TPersistentBase::Assign(const TPersistentBase& Source) { Source.AssignTo(*this); }

void TPersistentBase::AssignTo(TPersistentBase& Dest) const { Dest.AssignError(*this); }

void TPersistentBase::AssignError(const TPersistentBase& Source) const {
  throw EConvertError::CannotAssign(Source.ClassName(), ClassName());
}

}  // namespace setup
