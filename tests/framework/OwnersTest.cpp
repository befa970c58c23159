#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "tests/support/Sandbox.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Fake handles 1, 2, 3 ... with a release counter per handle.
struct CountingTraits {
    using Handle = int;
    static inline std::map<int, int> releases;
    static Handle Empty() noexcept { return 0; }
    static bool IsValid(Handle handle) noexcept { return handle != 0; }
    static void Release(Handle handle) noexcept { ++releases[handle]; }
};
using CountingOwner = UniqueOwner<CountingTraits>;

class UniqueOwnerTest : public testing::Test {
protected:
    void SetUp() override { CountingTraits::releases.clear(); }
    static int Releases(int handle) { return CountingTraits::releases[handle]; }
};

TEST_F(UniqueOwnerTest, ReleasesOnceAtEndOfScope)
{
    {
        CountingOwner owner(1);
        EXPECT_TRUE(owner);
        EXPECT_EQ(owner.get(), 1);
    }
    EXPECT_EQ(Releases(1), 1);
}

TEST_F(UniqueOwnerTest, MoveConstructionTransfersWithoutRelease)
{
    {
        CountingOwner source(1);
        CountingOwner target(std::move(source));
        EXPECT_FALSE(source);
        EXPECT_EQ(target.get(), 1);
        EXPECT_EQ(Releases(1), 0);
    }
    EXPECT_EQ(Releases(1), 1);
}

TEST_F(UniqueOwnerTest, MoveAssignmentReleasesWhatTheTargetHeld)
{
    {
        CountingOwner source(1);
        CountingOwner target(2);
        target = std::move(source);
        EXPECT_EQ(Releases(2), 1);
        EXPECT_EQ(Releases(1), 0);
        EXPECT_EQ(target.get(), 1);
    }
    EXPECT_EQ(Releases(1), 1);
    EXPECT_EQ(Releases(2), 1);
}

TEST_F(UniqueOwnerTest, SelfMoveAssignmentKeepsTheHandle)
{
    {
        CountingOwner owner(1);
        CountingOwner& alias = owner;
        owner = std::move(alias);
        EXPECT_EQ(owner.get(), 1);
        EXPECT_EQ(Releases(1), 0);
    }
    EXPECT_EQ(Releases(1), 1);
}

TEST_F(UniqueOwnerTest, ResetReleaseAndPut)
{
    CountingOwner owner(1);
    owner.reset(2);
    EXPECT_EQ(Releases(1), 1);

    EXPECT_EQ(owner.release(), 2);
    EXPECT_FALSE(owner);
    owner.reset();
    EXPECT_EQ(Releases(2), 0);

    owner.reset(3);
    *owner.put() = 4;
    EXPECT_EQ(Releases(3), 1);
    EXPECT_EQ(owner.get(), 4);
}

TEST(KernelHandleOwners, CloseTheRealHandleAndTreatInvalidAsEmpty)
{
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    {
        UniqueHandle first(raw);
        UniqueHandle second(std::move(first));
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(second.get(), &flags));
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));

    EXPECT_FALSE(UniqueHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(FindHandle(INVALID_HANDLE_VALUE));
}

class RegKeyHandleTest : public SandboxTest {};

TEST_F(RegKeyHandleTest, OpensThroughPutAndClosesOnce)
{
    HKEY raw = nullptr;
    {
        RegKeyHandle key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(ScratchKey()).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        raw = key.get();
        RegKeyHandle moved(std::move(key));
        EXPECT_EQ(RegQueryInfoKeyW(moved.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
}

TEST(GdiOwners, DeleteTheirObjects)
{
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HDC memory = CreateCompatibleDC(nullptr);
    HMENU menu = CreatePopupMenu();
    {
        GdiObject<HBRUSH> ownedBrush(brush);
        MemoryDC ownedDC(memory);
        MenuHandle ownedMenu(menu);
        GdiObject<HBRUSH> movedBrush(std::move(ownedBrush));
        EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(memory), 0u);
    EXPECT_FALSE(IsMenu(menu));
}

TEST(SelectedObjectTest, RestoresThePreviousObjectOnceAfterMove)
{
    MemoryDC dc(CreateCompatibleDC(nullptr));
    GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(10, 20, 30)));
    HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BRUSH);
    {
        SelectedObject outer(dc.get(), GetStockObject(BLACK_BRUSH));
        {
            SelectedObject inner(dc.get(), brush.get());
            ASSERT_TRUE(inner);
            SelectedObject moved(std::move(inner));
            EXPECT_FALSE(inner);
            EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush.get());
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), GetStockObject(BLACK_BRUSH));
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), original);
}

class FakeUnknown : public IUnknown {
public:
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

TEST(ComPtrTest, ReleasesOnceAndPutReleasesFirst)
{
    FakeUnknown first;
    FakeUnknown second;
    {
        ComPtr<IUnknown> pointer(&first);
        ComPtr<IUnknown> moved(std::move(pointer));
        EXPECT_EQ(first.references, 1u);
        EXPECT_EQ(moved->AddRef(), 2u);
        moved->Release();

        IUnknown** slot = moved.put();
        EXPECT_EQ(first.references, 0u);
        *slot = &second;
    }
    EXPECT_EQ(first.references, 0u);
    EXPECT_EQ(second.references, 0u);
}

// Whether COM is initialised on this thread, without changing that.
bool ComIsInitialised()
{
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(result))
        CoUninitialize();
    return result == S_FALSE || result == RPC_E_CHANGED_MODE;
}

TEST(ComInitTest, BalancesItsOwnInitialisation)
{
    ASSERT_FALSE(ComIsInitialised());
    {
        ComInit outer;
        ComInit nested;
        EXPECT_TRUE(outer.ok());
        EXPECT_TRUE(nested.ok());
    }
    EXPECT_FALSE(ComIsInitialised());
}

TEST(ComInitTest, DoesNotUninitialiseAfterAModeClash)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    {
        ComInit clash;
        EXPECT_FALSE(clash.ok());
    }
    EXPECT_TRUE(ComIsInitialised());
    CoUninitialize();
    EXPECT_FALSE(ComIsInitialised());
}

} // namespace
