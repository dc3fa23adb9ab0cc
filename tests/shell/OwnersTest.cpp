#include <gtest/gtest.h>
#include <windows.h>

#include <type_traits>
#include <utility>

#include "RegistryTestSupport.h"
#include "shell/ComApartment.h"
#include "shell/ComPtr.h"
#include "shell/RegistryKey.h"

namespace setup {
namespace {

static_assert(!std::is_copy_constructible_v<ComPtr<IUnknown>> && !std::is_copy_assignable_v<ComPtr<IUnknown>>);
static_assert(!std::is_copy_constructible_v<UniqueRegistryKey> && !std::is_copy_assignable_v<UniqueRegistryKey>);
static_assert(!std::is_copy_constructible_v<ComApartment> && !std::is_copy_assignable_v<ComApartment>);

// An object that counts its references and never frees itself: it lives on the test's stack.
// COM objects end through Release, never through a delete of IUnknown, whose destructor the
// platform header leaves non-virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CountedObject final : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }

  long references = 1;  // the reference handed to the first owner
};
#pragma GCC diagnostic pop

TEST(ComPtrTest, ReleasesOnceAcrossMoves) {
  CountedObject object;
  {
    ComPtr<IUnknown> first(&object);
    ComPtr<IUnknown> second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), &object);
    ComPtr<IUnknown> third;
    third = std::move(second);
    EXPECT_EQ(object.references, 1);
  }
  EXPECT_EQ(object.references, 0);
}

TEST(ComPtrTest, PutAndMoveAssignmentReleaseWhatWasHeld) {
  CountedObject held;
  CountedObject incoming;
  ComPtr<IUnknown> owner(&held);
  owner = ComPtr<IUnknown>(&incoming);
  EXPECT_EQ(held.references, 0);
  EXPECT_EQ(owner.Get(), &incoming);
  EXPECT_EQ(owner.Put(), owner.Put());  // the slot is the owner's own
  EXPECT_EQ(incoming.references, 0);
  EXPECT_FALSE(owner);
}

TEST(ComPtrTest, QueryToTakesANewReference) {
  CountedObject object;
  ComPtr<IUnknown> owner(&object);
  ComPtr<IUnknown> other;
  EXPECT_EQ(owner.QueryTo(IID_IUnknown, other), S_OK);
  EXPECT_EQ(object.references, 2);
  ComPtr<IUnknown> none;
  EXPECT_EQ(owner.QueryTo(IID_IClassFactory, none), E_NOINTERFACE);
  EXPECT_FALSE(none);
  EXPECT_EQ(ComPtr<IUnknown>().QueryTo(IID_IUnknown, none), E_POINTER);
  other.Reset();
  EXPECT_EQ(object.references, 1);
}

TEST(UniqueRegistryKeyTest, ClosesOnceAcrossMoves) {
  testing_support::TestRegistryKey testKey;
  UniqueRegistryKey first;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, WidePtr(testKey.Path()), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            first.Put(), nullptr),
            ERROR_SUCCESS);
  const HKEY handle = first.Get();
  UniqueRegistryKey second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(second.Get(), handle);
  UniqueRegistryKey third;
  third = std::move(second);
  // The handle is still open and usable by its one owner.
  EXPECT_EQ(RegSetValueExW(third.Get(), L"Probe", 0, REG_DWORD, reinterpret_cast<const BYTE*>("\1\0\0\0"), 4),
            ERROR_SUCCESS);
  third.Reset();
  EXPECT_FALSE(third);
  EXPECT_NE(RegSetValueExW(handle, L"Probe", 0, REG_DWORD, reinterpret_cast<const BYTE*>("\1\0\0\0"), 4),
            ERROR_SUCCESS);
}

TEST(ComApartmentTest, JoinsAndNestsOnTheSameThread) {
  const ComApartment outer;
  ASSERT_TRUE(outer.Joined());
  const ComApartment inner;
  EXPECT_EQ(inner.Result(), S_FALSE);  // already joined; still balanced by its own uninitialise
}

}  // namespace
}  // namespace setup
