/* Quillet: other-machine NC data, machine-driver NC generation and PDL laser
   cutting-condition tables for a sheet-metal CAM host.

   The public interface of libQuillet.so. Texts are NUL-terminated byte
   strings; integers are 32-bit. No export throws or keeps a pointer it is
   handed beyond the call. */
#ifndef QUILLET_QUILLET_H
#define QUILLET_QUILLET_H

#if defined(_WIN32) && !defined(_WIN64)
#define QUILLET_API __stdcall
#else
#define QUILLET_API
#endif

#if defined(_WIN32)
#define QUILLET_EXPORT
#elif defined(__GNUC__)
#define QUILLET_EXPORT __attribute__((visibility("default")))
#else
#define QUILLET_EXPORT
#endif

/* Status results shared by the exports. */
#define QUILLET_DONE 0
#define QUILLET_CANCELLED 1
#define QUILLET_NOT_SET_UP 100
#define QUILLET_NAME_TOO_LONG 101
#define QUILLET_SYSTEM_ERROR 999
#define QUILLET_PDL_UNAVAILABLE (-1)
#define QUILLET_INVALID_ARGUMENTS (-2)

/* Size of every path buffer the exports fill (at most 499 characters). */
#define QUILLET_PATH_BUFFER_SIZE 500
/* Number of float slots of a PDL parameter block (512 bytes). */
#define QUILLET_PDL_SLOTS 128

#ifdef __cplusplus
extern "C" {
#endif

/* Machine data of the current job, as the NC-data library hands it out. */
typedef struct md_machine_inf_ {
    char sheetName[128];
    int machineType;
    int unitMode;
    int clampCount; /* at most 5 locations are used */
    double clampLocations[5];
    double tableSize[2];
    double sheetSize[2];
    double sheetThickness;
    double programmedOffset[2];
    int partCount;
} md_machine_inf_;

/* One NC-generation record of the job (256 bytes). */
typedef struct md_ncg_dat_ {
    int codes[4];
    double values[30];
} md_ncg_dat_;

/* Finds or registers the NC template file of a machine and laser material.
   outPath receives the path (500 bytes). Returns 0, 100, 101 or 999. */
QUILLET_EXPORT int QUILLET_API SddGetOthMacCondPath(int create, int showMessages, int machineTypeNo,
                                                    const char* machineName,
                                                    const char* materialName,
                                                    const char* reservedText, int reservedNo1,
                                                    int reservedNo2, char* outPath);

/* 1 when the template defines cutting-condition code, 0 when not, 999 when
   the path is empty or the file cannot be opened. */
QUILLET_EXPORT int QUILLET_API SddGetOthCutInf(const char* templatePath);

/* Opens the NC template dialog. 0 OK, 1 Cancel, 100/101/999 lookup failure. */
QUILLET_EXPORT int QUILLET_API SddOthMacCondDLG(int create, int showMessages, int machineTypeNo,
                                                const char* machineName, const char* materialName,
                                                const char* reservedText, int reservedNo1,
                                                int reservedNo2, char* buffer);

/* Lays down the current driver setting files. 0, -2 or 999. */
QUILLET_EXPORT int QUILLET_API MD_SetCurrentInfo(const char* driverName, const char* machineName,
                                                 const char* laserMaterialName,
                                                 const char* dieLayoutName);

/* Driver settings dialogs: 0 after OK or Cancel (and after message 488),
   -2 for invalid arguments, 999 when the setting files cannot be located. */
QUILLET_EXPORT int QUILLET_API MD_OthMacLasCutDLG(const char* driverFile, const char* machineName,
                                                  const char* laserMaterialName,
                                                  int conditionIndex);
QUILLET_EXPORT int QUILLET_API MD_OthMacToolDLG(const char* driverFile, const char* machineName,
                                                const char* dieLayoutName, int toolNumber);
QUILLET_EXPORT int QUILLET_API MD_OthMacNCCreateDLG(const char* driverFile,
                                                    const char* machineName);

/* PDL laser cutting-condition tables: 0 done, -1 unavailable, -2 invalid. */
QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutDLG(const char* machineName, int machineType,
                                                     const char* laserMaterialName, int tableIndex);
QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutGetInf(const char* machineName, int machineType,
                                                        const char* laserMaterialName,
                                                        int tableIndex,
                                                        float* block /* 128 floats */);
QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutFileDelete(const char* machineName,
                                                            const char* laserMaterialName);
QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutFileCopy(const char* srcMachine,
                                                          const char* srcMaterial,
                                                          const char* dstMachine,
                                                          const char* dstMaterial);
/* Machine ID of a machine type code, -1 when it has none. */
QUILLET_EXPORT int QUILLET_API SddPDLOthMacTypeGet(int machineType);

#ifdef __cplusplus
} /* extern "C" */

#include <cstdlib>
#include <cstring>

/* The host's string class at this boundary: one pointer wide, owning a
   NUL-terminated copy of its text (never null). */
class CString {
public:
    CString() : m_pszData(Duplicate("")) {}
    CString(const char* text) : m_pszData(Duplicate(text)) {}
    CString(const CString& other) : m_pszData(Duplicate(other.m_pszData)) {}
    CString& operator=(const CString& other) { return Assign(other.m_pszData); }
    CString& operator=(const char* text) { return Assign(text); }
    ~CString() { std::free(m_pszData); }

    /** Returns the text; never null. */
    const char* GetString() const { return m_pszData; }
    operator const char*() const { return m_pszData; }
    int GetLength() const { return static_cast<int>(std::strlen(m_pszData)); }
    bool IsEmpty() const { return m_pszData[0] == '\0'; }

private:
    static char* Duplicate(const char* text) {
        if (text == nullptr) text = "";
        const std::size_t size = std::strlen(text) + 1;
        char* copy = static_cast<char*>(std::malloc(size));
        if (copy == nullptr) std::abort();
        std::memcpy(copy, text, size);
        return copy;
    }
    CString& Assign(const char* text) {
        char* copy = Duplicate(text);
        std::free(m_pszData);
        m_pszData = copy;
        return *this;
    }
    char* m_pszData;
};

/* One special sequence of a machine driver. */
struct md_ssi_ {
    int id;
    CString name;
    int valueType; /* 2 switch, 3 integer values, 4 real values */
    int valueCount;
};

/* The special sequences of one family, filled by MD_GetSpecialSequence. */
struct md_ssi_all_ {
    md_ssi_ entries[99];
    int count;
};

/* Generates NC for the current job through the machine driver: 0, 999, or
   the NC-data library's failure code unchanged. */
QUILLET_EXPORT int MD_CreateNC(CString driverName, char* const target);

/* Lists a driver's special sequences: family 1 cutting, 2 punching. */
QUILLET_EXPORT void MD_GetSpecialSequence(CString driverName, int family, md_ssi_all_* result);

#endif /* __cplusplus */

#endif /* QUILLET_QUILLET_H */
