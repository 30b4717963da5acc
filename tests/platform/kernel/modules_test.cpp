#include "platform/kernel/modules.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "platform/kernel/last_error.h"

namespace {

int first() { return 1; }
int second() { return 2; }

kernel::FARPROC Entry(int (*function)()) { return reinterpret_cast<kernel::FARPROC>(function); }

int Call(kernel::FARPROC proc) { return reinterpret_cast<int (*)()>(proc)(); }

TEST(Modules, LoadFindsARegisteredModuleWhateverTheLetterCase) {
    const std::array<kernel::ModuleExport, 2> exports{{{"First", Entry(first)}, {"Second", Entry(second)}}};
    ASSERT_TRUE(kernel::RegisterModule("Viewer.OCX", exports));
    for (const char* name : {"viewer.ocx", "VIEWER.OCX", "Viewer.Ocx"}) {
        SCOPED_TRACE(name);
        const kernel::HMODULE module = kernel::LoadLibraryA(name);
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(Call(kernel::GetProcAddress(module, "First")), 1);
        EXPECT_EQ(Call(kernel::GetProcAddress(module, "Second")), 2);
        EXPECT_TRUE(kernel::FreeLibrary(module));
    }
}

TEST(Modules, ANameWithoutExtensionMeansDll) {
    const std::array<kernel::ModuleExport, 1> exports{{{"First", Entry(first)}}};
    ASSERT_TRUE(kernel::RegisterModule("helper.dll", exports));
    ASSERT_TRUE(kernel::RegisterModule("plain", exports));  // registered as plain.dll
    struct Case {
        const char* name;
        bool found;
    };
    for (const Case& c : {Case{"helper", true}, Case{"HELPER.DLL", true}, Case{"helper.", false},
                          Case{"plain.dll", true}, Case{"plain.", false}}) {
        SCOPED_TRACE(c.name);
        kernel::SetLastError(0);
        const kernel::HMODULE module = kernel::LoadLibraryA(c.name);
        EXPECT_EQ(module != nullptr, c.found);
        if (module) {
            kernel::FreeLibrary(module);
        } else {
            EXPECT_EQ(kernel::GetLastError(), kernel::ERROR_MOD_NOT_FOUND);
        }
    }
}

TEST(Modules, UnknownModulesAndEntriesAreErrors) {
    const std::array<kernel::ModuleExport, 1> exports{{{"First", Entry(first)}}};
    ASSERT_TRUE(kernel::RegisterModule("known.ocx", exports));

    for (const char* name : {"unknown.ocx", "known.dll", "", static_cast<const char*>(nullptr)}) {
        kernel::SetLastError(0);
        EXPECT_EQ(kernel::LoadLibraryA(name), nullptr);
        EXPECT_EQ(kernel::GetLastError(), kernel::ERROR_MOD_NOT_FOUND);
    }

    const kernel::HMODULE module = kernel::LoadLibraryA("known.ocx");
    ASSERT_NE(module, nullptr);
    // Entry names keep their case; a small number is an ordinal, never read.
    const char* ordinal = reinterpret_cast<const char*>(std::uintptr_t{1});
    for (const char* entry : {"first", "Missing", "", ordinal, static_cast<const char*>(nullptr)}) {
        kernel::SetLastError(0);
        EXPECT_EQ(kernel::GetProcAddress(module, entry), nullptr);
        EXPECT_EQ(kernel::GetLastError(), kernel::ERROR_PROC_NOT_FOUND);
    }
    EXPECT_TRUE(kernel::FreeLibrary(module));
}

TEST(Modules, HandlesCountLoadsAndStrangersAreRefused) {
    const std::array<kernel::ModuleExport, 1> exports{{{"First", Entry(first)}}};
    ASSERT_TRUE(kernel::RegisterModule("counted.ocx", exports));
    const kernel::HMODULE a = kernel::LoadLibraryA("counted.ocx");
    const kernel::HMODULE b = kernel::LoadLibraryA("COUNTED.ocx");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(kernel::FreeLibrary(a));
    EXPECT_NE(kernel::GetProcAddress(b, "First"), nullptr);  // still loaded once
    EXPECT_TRUE(kernel::FreeLibrary(b));

    int notAModule = 0;
    const auto stranger = reinterpret_cast<kernel::HMODULE>(&notAModule);
    for (kernel::HMODULE module : {a, stranger, static_cast<kernel::HMODULE>(nullptr)}) {
        kernel::SetLastError(0);
        EXPECT_EQ(kernel::GetProcAddress(module, "First"), nullptr);
        EXPECT_EQ(kernel::GetLastError(), kernel::ERROR_INVALID_HANDLE);
        EXPECT_FALSE(kernel::FreeLibrary(module));
        EXPECT_EQ(kernel::GetLastError(), kernel::ERROR_INVALID_HANDLE);
    }
}

TEST(Modules, RegisteringAgainReplacesTheExports) {
    const std::array<kernel::ModuleExport, 1> before{{{"Entry", Entry(first)}}};
    const std::array<kernel::ModuleExport, 1> after{{{"Entry", Entry(second)}}};
    ASSERT_TRUE(kernel::RegisterModule("replaced.ocx", before));
    const kernel::HMODULE module = kernel::LoadLibraryA("replaced.ocx");
    ASSERT_TRUE(kernel::RegisterModule("REPLACED.OCX", after));
    EXPECT_EQ(Call(kernel::GetProcAddress(module, "Entry")), 2);
    kernel::FreeLibrary(module);
}

TEST(Modules, IncompleteRegistrationsAreRefused) {
    const std::array<kernel::ModuleExport, 1> unnamed{{{nullptr, Entry(first)}}};
    const std::array<kernel::ModuleExport, 1> empty{{{"Entry", nullptr}}};
    const std::array<kernel::ModuleExport, 1> good{{{"Entry", Entry(first)}}};
    EXPECT_FALSE(kernel::RegisterModule("refused.ocx", unnamed));
    EXPECT_FALSE(kernel::RegisterModule("refused.ocx", empty));
    EXPECT_FALSE(kernel::RegisterModule("", good));
    EXPECT_FALSE(kernel::RegisterModule(nullptr, good));
    EXPECT_EQ(kernel::LoadLibraryA("refused.ocx"), nullptr);
}

}  // namespace
