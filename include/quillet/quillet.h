/* Quillet: other-machine NC data, machine-driver NC generation and PDL laser
   cutting-condition tables for a sheet-metal CAM host.

   The public interface of libQuillet.so, for hosts in C (C89 and later) and
   C++ (C++98 and later); docs/HOSTS.md says how to load the module and what
   it costs. No export throws or keeps a pointer it is handed beyond the call.

   Arguments. Texts are NUL-terminated byte strings; integers are 32-bit.
   Names (machine, material, die layout) are bytes in code page 932 (CP932),
   used byte for byte in file names and file contents; a name holding a path
   separator ('/' always; '\' unless it is the second byte of a CP932
   double-byte character in a name that is not valid UTF-8), or that is "."
   or "..", is refused with the export's error status, in every locale. A
   driver file name is a path as the host's machine management holds it.

   Environment, read anew on every call unless said otherwise:
     QUILLET_REGISTRY     the registry file with the data and system roots
                          (default /etc/quillet/registry.reg)
     QUILLET_MESSAGE_LOG  a file that receives every message and every
                          refusal below, one line each
     QUILLET_JOB          read by the stand-in NC-data library only: the job
                          file MD_CreateNC generates from
     QUILLET_DRIVER_DIR   a folder searched for libkorvid.so and libDravik.so
                          before the library search path (read when a
                          library is first opened; it then stays open)
     LC_ALL, LC_CTYPE, LANG  a first non-empty value starting with "ja"
                          selects the built-in Japanese texts, else the
                          English ones of libQuillet_rs.so (at the first call)

   Threads and user interface. The module starts no thread. The dialog
   exports (...DLG) and the exports that may show a message box
   (SddGetOthMacCondPath, SddOthMacCondDLG, SddPDLOthMacTypeGet, and at its
   first call any export, when libQuillet_rs.so is missing) need Qt 6. The
   module itself does not load Qt: libquillet-ui.so, beside libQuillet.so,
   holds the dialogs and message boxes and is opened (with Qt) by the first
   dialog export, or by the first message box when a Qt 6 QApplication
   exists or a display is available, and stays loaded. When it cannot be
   loaded, a dialog export fails as refused below, the loader's error
   named, and message boxes are written as when not shown. When the host
   has no QApplication and a display is available (DISPLAY,
   WAYLAND_DISPLAY or QT_QPA_PLATFORM), the first of them creates a
   QApplication in the host's process, on the calling thread, and keeps it;
   the host's process locale is left as it was (every category). Then:
     - only the QApplication's thread shows a dialog or a message box;
     - one dialog at a time: a dialog export called while one of the module's
       dialogs is open (from its event loop or from another thread) fails;
     - a host whose application object is a QCoreApplication or one of
       Qt 5, or without a display, shows no dialog.
   A dialog refused by these rules returns its system error (999; -1 for
   SddPDLOthMacLasCutDLG) and writes "Quillet: <export>: no dialog shown:
   <rule>" on standard error and into QUILLET_MESSAGE_LOG. A message box that
   cannot be shown is written there as "Quillet: <text>" (a question is
   answered No). Every other export may run on any thread. NC generation,
   special sequences, MD_SetCurrentInfo and the dialogs' loading of driver
   items run one at a time: a second thread waits for the first. The data
   files are shared with other processes under file locks. */
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
/* Entries of the special-sequence record. */
#define QUILLET_SPECIAL_SEQUENCES 99

#if defined(__cplusplus) && !defined(QUILLET_HOST_CSTRING)
#include <cstdlib>
#include <cstring>

/* The host's string class at the boundary of MD_CreateNC and
   MD_GetSpecialSequence: one pointer wide, owning a NUL-terminated copy of
   its text allocated with malloc (never null). A C++ host with a CString of
   its own defines QUILLET_HOST_CSTRING and declares it before including this
   header; the module treats it as this one: one pointer to a malloc'ed text,
   freed with free when the module replaces it. */
class CString {
public:
    CString() : m_pszData(Duplicate("")) {}
    CString(const char* text) : m_pszData(Duplicate(text)) {}
    CString(const CString& other) : m_pszData(Duplicate(other.m_pszData)) {}
    CString& operator=(const CString& other) { return Assign(other.m_pszData); }
    CString& operator=(const char* text) { return Assign(text); }
    ~CString() { std::free(m_pszData); }

    /* Returns the text; never null. */
    const char* GetString() const { return m_pszData; }
    operator const char*() const { return m_pszData; }
    int GetLength() const { return static_cast<int>(std::strlen(m_pszData)); }
    bool IsEmpty() const { return m_pszData[0] == '\0'; }

private:
    static char* Duplicate(const char* text) {
        if (text == 0) text = "";
        const std::size_t size = std::strlen(text) + 1;
        char* copy = static_cast<char*>(std::malloc(size));
        if (copy == 0) std::abort();
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
#endif

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

/* One special sequence of a machine driver. The name is the host's string
   object in C++; in C a char* at the same place, which is NULL or allocated
   with malloc: the module frees it and puts a malloc'ed copy of the driver's
   label there (at most 255 bytes); the caller frees what it receives. */
typedef struct md_ssi_ {
    int id;
#ifdef __cplusplus
    CString name;
#else
    char* name;
#endif
    int valueType; /* 2 switch (valueCount 0), 3 integer values, 4 real values */
    int valueCount;
} md_ssi_;

/* The special sequences of one family in driver order; entries from count
   on are left as handed. */
typedef struct md_ssi_all_ {
    md_ssi_ entries[QUILLET_SPECIAL_SEQUENCES];
    int count;
} md_ssi_all_;

/* Finds or registers the NC template file of a machine and laser material
   in the data folder's index. create 1 registers what is missing, 0 looks
   up only; showMessages 1 shows messages 201-203, 0 stays silent;
   machineTypeNo 130-139 (out-of-range numbers show a message whatever
   showMessages says); machineName registers only when at most 50 bytes;
   reservedText (not NULL) and reservedNo1/2 are passed on and change
   nothing. outPath receives the path (500 bytes), its first byte NUL on
   failure. Returns 0, 100 (not set up, with create 0), 101 (machine name
   over 50 bytes to register) or 999 (no data root, an argument out of range
   or NULL, a path that cannot be formed). */
QUILLET_EXPORT int QUILLET_API SddGetOthMacCondPath(int create, int showMessages, int machineTypeNo,
                                                    const char* machineName,
                                                    const char* materialName,
                                                    const char* reservedText, int reservedNo1,
                                                    int reservedNo2, char* outPath);

/* 1 when the template defines cutting-condition code, 0 when not, 999 when
   the path is empty or the file cannot be opened. */
QUILLET_EXPORT int QUILLET_API SddGetOthCutInf(const char* templatePath);

/* Opens the NC template dialog 102 for a machine and material (dialog
   rules above). Arguments as SddGetOthMacCondPath, with machineName and
   materialName at most 50 bytes and reservedText at most 55 (999 beyond);
   buffer (if not NULL) only gets a NUL first byte. 0 OK (saved), 1 Cancel,
   100/101/999 as the lookup gives them, 999 when no dialog may be shown. */
QUILLET_EXPORT int QUILLET_API SddOthMacCondDLG(int create, int showMessages, int machineTypeNo,
                                                const char* machineName, const char* materialName,
                                                const char* reservedText, int reservedNo1,
                                                int reservedNo2, char* buffer);

/* Lays down the current driver setting files of a job in the working
   folder: Nc always, Cut with a laser material, Tool with a die layout
   (either may be NULL or empty). 0; -2 when driverName or machineName is
   NULL or empty or a name is refused (nothing touched); 999 when a path
   cannot be formed, a copy or write fails or the driver library cannot be
   used. Driver names at most 255 bytes. */
QUILLET_EXPORT int QUILLET_API MD_SetCurrentInfo(const char* driverName, const char* machineName,
                                                 const char* laserMaterialName,
                                                 const char* dieLayoutName);

/* Driver settings dialogs 130 (laser, conditionIndex 0-12: K, L, M, H, U,
   U1-U5, P101-P103), 131 (tool, toolNumber 0 and up) and 132 (NC
   creation); dialog rules above. 0 after OK or Cancel, and after message
   488 when driverFile cannot be opened for reading; -2 when a name is NULL,
   empty or refused or a number is out of range; 999 when the setting files
   cannot be located or no dialog may be shown. */
QUILLET_EXPORT int QUILLET_API MD_OthMacLasCutDLG(const char* driverFile, const char* machineName,
                                                  const char* laserMaterialName,
                                                  int conditionIndex);
QUILLET_EXPORT int QUILLET_API MD_OthMacToolDLG(const char* driverFile, const char* machineName,
                                                const char* dieLayoutName, int toolNumber);
QUILLET_EXPORT int QUILLET_API MD_OthMacNCCreateDLG(const char* driverFile,
                                                    const char* machineName);

/* PDL laser cutting-condition tables. machineType 12000-13998, tableIndex
   0-12 (K, L, M, H, U, U1-U5, P101-P103), names not NULL, not empty and not
   refused: else -2. 0 done; -1 when a root cannot be read, the pair has no
   condition file and there is no master to create it from, or a path would
   pass 499 characters. The dialog 129 (dialog rules above; -1 when no
   dialog may be shown) gives 0 after OK or Cancel unless its file could not
   be had. The block is 128 floats: slots 0-87 the parameters in the order
   of docs/HOSTS.md (Power, Frequency, DutyCycle, Feedrate, GasType, ...,
   TechTableNO), -1 for a key the table lacks; slots 88-127 are 0. */
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
/* Machine ID of a machine type code (any int), -1 when it has none or the
   data root cannot be read (message 201). */
QUILLET_EXPORT int QUILLET_API SddPDLOthMacTypeGet(int machineType);

/* The C entry points of MD_CreateNC and MD_GetSpecialSequence below: the
   same work, the same results, for hosts in C and foreign-function
   interfaces. A NULL driverName is an empty name. */
QUILLET_EXPORT int QuilletCreateNC(const char* driverName, char* target);
QUILLET_EXPORT void QuilletGetSpecialSequence(const char* driverName, int family,
                                              md_ssi_all_* result);

#ifdef __cplusplus
} /* extern "C" */

/* Generates NC for the current job through the machine driver: loads
   driverName (at most 255 bytes), hands it the job's machine data, the
   target (unchanged, any length) and every NC record. 0, 999 (name too long,
   target NULL, a library or function that cannot be had), or the NC-data
   library's failure code unchanged. Writes nothing itself; shows no UI. */
QUILLET_EXPORT int MD_CreateNC(CString driverName, char* const target);

/* Lists a driver's special sequences: family 1 cutting, 2 punching (any
   other lists nothing), at most 99, into result (not NULL); count is 0 when
   the driver cannot be used. Shows no UI. */
QUILLET_EXPORT void MD_GetSpecialSequence(CString driverName, int family, md_ssi_all_* result);

#endif /* __cplusplus */

#endif /* QUILLET_QUILLET_H */
