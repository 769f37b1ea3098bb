// HRESULT names and descriptions: the generated name table and the lookups.
#include "errortext/error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "errortext/hresult_names_table.h"

namespace toravel {
namespace {

using hresult::FromBits;

TEST(ErrorTextTest, KnownRows) {
    struct Row {
        uint32_t code;
        const char* name;
        const char* description;
    };
    const Row rows[] = {
        {0x00000000, "S_OK", "The function completed successfully"},
        {0x00000001, "S_FALSE", "Call successful, but returned FALSE"},
        {0x80004005, "E_FAIL", "An unspecified failure occurred"},
        {0x8876086C, "D3DERR_INVALIDCALL", "Invalid call"},
        {0x8876086A, "D3DERR_NOTAVAILABLE", "Not available"},
        {0x00040003, "MS_S_ENDOFSTREAM & WBEM_S_DIFFERENT", "n/a"},
        // A COM identifier is not joined with the Win32 code of the same value.
        {0x8007000E, "E_OUTOFMEMORY", "Not enough memory to complete the operation"},
        {0x80070002, "ERROR_FILE_NOT_FOUND", "The file cannot be found"},
        {0x88760B55, "D3DXERR_INVALIDMESH", "The mesh is invalid"},
        {0x12345678, "Unknown", "n/a"},
        {0xFFFFFFFF, "Unknown", "n/a"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_STREQ(HresultName(FromBits(row.code)), row.name);
        EXPECT_STREQ(HresultDescription(FromBits(row.code)), row.description);
    }
}

// The lookup is a binary search: the table must be strictly ascending, and every row found.
TEST(ErrorTextTest, NameTableIsSortedAndComplete) {
    ASSERT_GT(kHresultNameCount, 4000u);
    for (size_t i = 1; i < kHresultNameCount; ++i) {
        ASSERT_LT(kHresultNames[i - 1].code, kHresultNames[i].code) << i;
    }
    for (size_t i = 0; i < kHresultNameCount; ++i) {
        EXPECT_EQ(HresultName(FromBits(kHresultNames[i].code)), kHresultNames[i].name);
    }
}

// Every code that the static mesh export can report has a name and a description.
TEST(ErrorTextTest, CodesOfTheMeshLayerAreDescribed) {
    const Hresult codes[] = {
        hresult::kOk,
        hresult::kFail,
        hresult::kOutOfMemory,
        hresult::kInvalidArg,
        hresult::kAccessDenied,
        hresult::kInvalidCall,
        hresult::kNotAvailable,
        hresult::kInvalidMesh,
        hresult::kFileNotFound,
        hresult::kPathNotFound,
        hresult::kNotSameDevice,
        hresult::kWriteFault,
        hresult::kSharingViolation,
        hresult::kDiskFull,
        hresult::kInvalidName,
        hresult::kAlreadyExists,
        hresult::kFileNameTooLong,
    };
    for (Hresult code : codes) {
        SCOPED_TRACE(code);
        EXPECT_STRNE(HresultName(code), "Unknown");
        EXPECT_STRNE(HresultDescription(code), "n/a");
    }
    for (int error : {ENOENT, EACCES, EPERM, EROFS, EISDIR, ENOSPC, ENOMEM, EEXIST, ENAMETOOLONG,
                      EBUSY, EXDEV, EIO, EINVAL, ELOOP}) {
        SCOPED_TRACE(error);
        EXPECT_TRUE(Failed(HresultFromErrno(error)));
        EXPECT_STRNE(HresultDescription(HresultFromErrno(error)), "n/a");
    }
}

}  // namespace
}  // namespace toravel
