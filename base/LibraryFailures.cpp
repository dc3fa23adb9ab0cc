// The C++ library's own failures, raised without the library's exception classes: linked into
// Setup.exe and Uninst.exe only.
//
// The library raises a failure of its containers, strings and locks (a length beyond the largest,
// a position past the end, a lock released twice) through these functions. Its own versions build the standard
// exception classes, whose reference-counted strings, message formatting and every sibling class come along (about 40
// KB of each program), although the programs never catch one by its class: they catch std::exception and show what().
// These raise one small class of that root with the library's own text, and the allocation failures their usual
// classes.
#include <exception>
#include <new>
#include <typeinfo>

namespace setup {
namespace {

class LibraryFailure final : public std::exception {
 public:
  // The library passes texts that live as long as the program.
  explicit LibraryFailure(const char* text) noexcept : text_(text) {}
  const char* what() const noexcept override { return text_; }

 private:
  const char* text_;
};

}  // namespace
}  // namespace setup

namespace std {

void __throw_bad_exception() { throw std::bad_exception(); }
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
void __throw_bad_cast() { throw std::bad_cast(); }
void __throw_bad_typeid() { throw std::bad_typeid(); }
void __throw_logic_error(const char* text) { throw setup::LibraryFailure(text); }
void __throw_domain_error(const char* text) { throw setup::LibraryFailure(text); }
void __throw_invalid_argument(const char* text) { throw setup::LibraryFailure(text); }
void __throw_length_error(const char* text) { throw setup::LibraryFailure(text); }
void __throw_out_of_range(const char* text) { throw setup::LibraryFailure(text); }
// The format's arguments are left out: the text says which call failed.
void __throw_out_of_range_fmt(const char* format, ...) { throw setup::LibraryFailure(format); }
void __throw_runtime_error(const char* text) { throw setup::LibraryFailure(text); }
void __throw_range_error(const char* text) { throw setup::LibraryFailure(text); }
void __throw_overflow_error(const char* text) { throw setup::LibraryFailure(text); }
void __throw_underflow_error(const char* text) { throw setup::LibraryFailure(text); }
// A lock used against its rules (unlocking one not held, locking one held twice).
void __throw_system_error(int) { throw setup::LibraryFailure("a lock was used against its rules"); }

}  // namespace std
