#include "errortext/error_text.h"

#include <algorithm>
#include <cerrno>
#include <iterator>

#include "errortext/hresult_names_table.h"

namespace toravel {

namespace {

struct HresultDescriptionRow {
    uint32_t code;
    const char* description;
};

// Descriptions of the codes that a failure message of this program can show: the common COM
// codes, the Win32 file errors that a save can meet, and the codes of Direct3D 9 and of its
// extension library. Sorted by the code as an unsigned number.
constexpr HresultDescriptionRow kDescriptions[] = {
    {0x00000000, "The function completed successfully"},
    {0x00000001, "Call successful, but returned FALSE"},
    {0x0876086F, "The format supports the resource but mipmaps cannot be generated automatically"},
    {0x08760875, "The resource is not resident in video memory"},
    {0x08760876, "The resource is resident in memory shared with the system"},
    {0x08760877, "The display mode changed since the last presentation"},
    {0x08760878, "The presentation area is hidden by another window"},
    {0x80004001, "The function is not implemented"},
    {0x80004002, "The object does not support the requested interface"},
    {0x80004003, "A required pointer is missing or invalid"},
    {0x80004004, "The operation was aborted"},
    {0x80004005, "An unspecified failure occurred"},
    {0x8000FFFF, "An unexpected failure occurred"},
    {0x80070002, "The file cannot be found"},
    {0x80070003, "The path cannot be found"},
    {0x80070004, "Too many files are open"},
    {0x80070005, "Access is denied"},
    {0x80070006, "The handle is invalid"},
    {0x8007000E, "Not enough memory to complete the operation"},
    {0x80070011, "The file cannot be moved to a different disk drive"},
    {0x80070013, "The medium is write protected"},
    {0x8007001D, "The device cannot be written to"},
    {0x8007001E, "The device cannot be read from"},
    {0x80070020, "The file is in use by another process"},
    {0x80070021, "Part of the file is locked by another process"},
    {0x80070027, "The disk is full"},
    {0x80070050, "The file exists"},
    {0x80070057, "An argument is invalid"},
    {0x80070070, "There is not enough space on the disk"},
    {0x8007007A, "The data area passed is too small"},
    {0x8007007B, "The file name, folder name or volume label syntax is incorrect"},
    {0x800700B7, "A file with that name already exists"},
    {0x800700CE, "The file name or extension is too long"},
    {0x800700DF, "The file is larger than the size the system allows"},
    {0x8007010B, "The name is a folder, not a file"},
    {0x8876017C, "Out of video memory"},
    {0x8876021C, "The device is still busy drawing"},
    {0x88760384, "The X file object is invalid"},
    {0x88760385, "The X file value is invalid"},
    {0x88760386, "The X file data type is invalid"},
    {0x88760387, "The X file object was not found"},
    {0x88760388, "The X file operation is not finished yet"},
    {0x88760389, "The X file was not found"},
    {0x8876038A, "The X file resource was not found"},
    {0x8876038B, "The X file resource is invalid"},
    {0x8876038C, "The file is not an X file"},
    {0x8876038D, "The X file version is not supported"},
    {0x8876038E, "The X file float size is not supported"},
    {0x8876038F, "The X file is corrupt"},
    {0x88760390, "The X file template could not be parsed"},
    {0x88760391, "The X file array size is invalid"},
    {0x88760392, "The X file data reference is invalid"},
    {0x88760393, "The X file holds no more objects"},
    {0x88760394, "The X file object holds no more data"},
    {0x88760395, "The X file cache file is invalid"},
    {0x88760818, "Wrong texture format"},
    {0x88760819, "Unsupported color operation"},
    {0x8876081A, "Unsupported color argument"},
    {0x8876081B, "Unsupported alpha operation"},
    {0x8876081C, "Unsupported alpha argument"},
    {0x8876081D, "Too many texture operations"},
    {0x8876081E, "Conflicting texture filters"},
    {0x8876081F, "Unsupported texture factor value"},
    {0x88760821, "Conflicting render states"},
    {0x88760822, "Unsupported texture filter"},
    {0x88760826, "Conflicting texture palettes"},
    {0x88760827, "Internal driver error"},
    {0x88760866, "The requested item was not found"},
    {0x88760867, "There is more data than the buffer can hold"},
    {0x88760868, "The device is lost"},
    {0x88760869, "The device is lost and can now be reset"},
    {0x8876086A, "Not available"},
    {0x8876086B, "The device is invalid"},
    {0x8876086C, "Invalid call"},
    {0x8876086D, "The driver reported an invalid call"},
    {0x88760870, "The device was removed"},
    {0x88760874, "The device stopped responding"},
    {0x8876087B, "The overlay is not supported"},
    {0x8876087C, "The overlay format is not supported"},
    {0x8876087D, "The content cannot be protected"},
    {0x8876087E, "The encryption algorithm is not supported"},
    {0x88760884, "The presentation statistics are not continuous"},
    {0x88760B54, "The index buffer of the mesh cannot be modified"},
    {0x88760B55, "The mesh is invalid"},
    {0x88760B56, "The faces of the mesh cannot be sorted by attribute"},
    {0x88760B57, "Skinning is not supported"},
    {0x88760B58, "Too many bone influences"},
    {0x88760B59, "The data is invalid"},
    {0x88760B5A, "The loaded mesh holds no data"},
    {0x88760B5B, "A fragment with that name exists already"},
    {0x88760B5C, "The last item cannot be removed"},
};

template <typename Row>
const Row* FindRow(const Row* first, const Row* last, Hresult code) {
    const uint32_t key = static_cast<uint32_t>(code);
    const Row* row =
        std::lower_bound(first, last, key, [](const Row& r, uint32_t k) { return r.code < k; });
    return row != last && row->code == key ? row : nullptr;
}

}  // namespace

const char* HresultName(Hresult code) {
    const HresultNameRow* row = FindRow(kHresultNames, kHresultNames + kHresultNameCount, code);
    return row != nullptr ? row->name : "Unknown";
}

const char* HresultDescription(Hresult code) {
    const HresultDescriptionRow* row =
        FindRow(std::begin(kDescriptions), std::end(kDescriptions), code);
    return row != nullptr ? row->description : "n/a";
}

Hresult HresultFromErrno(int error) {
    switch (error) {
        case 0:
            return hresult::kOk;
        case ENOENT:
            return hresult::kPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return hresult::kAccessDenied;
        case ENOSPC:
            return hresult::kDiskFull;
        case EFBIG:
            return hresult::kFileTooLarge;
        case ENOMEM:
            return hresult::kOutOfMemory;
        case EEXIST:
            return hresult::kAlreadyExists;
        case ENAMETOOLONG:
            return hresult::kFileNameTooLong;
        case EBUSY:
        case ETXTBSY:
            return hresult::kSharingViolation;
        case EXDEV:
            return hresult::kNotSameDevice;
        case EIO:
            return hresult::kWriteFault;
        case EINVAL:
            return hresult::kInvalidName;
        default:
            return hresult::kFail;
    }
}

}  // namespace toravel
