/* libkovr: the dashcam card file system ("Kovr") as a plain C interface.
 *
 * A card is a whole device (/dev/sdX, /dev/mmcblkN) or an image file of the same
 * layout; every call takes its path as a NUL-terminated 8-bit string. The on-card
 * format is described in docs/card-format.md.
 *
 * Return conventions: calls that act return 0 on success and a negative KOVR_E_*
 * code on failure; listing and reading return counts (0 or less ends); opening a
 * file returns a handle greater than 0. No call writes to a card unless it is one
 * of the writing calls (delete/create partition, format, opening with "w", write,
 * delete file). */
#ifndef KOVR_KOVR_H
#define KOVR_KOVR_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define KOVR_API __attribute__((visibility("default")))
#else
#define KOVR_API
#endif

/* The connection block the caller allocates and zeroes; the library keeps an index
 * into its own table there. Callers never read it. */
#define KOVR_CONNECTION_BLOCK_SIZE 161
/* The value callers pass as the second argument of VK_Kovr_Device_Open. */
#define KOVR_OPEN_DEFAULT 130

/* File-list buffer: int32 record capacity, then records of 128 bytes. */
#define KOVR_FILE_LIST_BUFFER_SIZE 3845
#define KOVR_FILE_LIST_CAPACITY 30
#define KOVR_FILE_RECORD_SIZE 128
#define KOVR_FILE_RECORD_NAME 0    /* char[98], NUL-terminated */
#define KOVR_FILE_RECORD_NUMBER 98 /* int32, little-endian */
#define KOVR_FILE_RECORD_BYTES 102 /* uint32, little-endian */
#define KOVR_MAX_NAME_LENGTH 97

/* Device-information record: the size in 512-byte sectors is the uint32 at byte 12
 * (clamped to 0xFFFFFFFF); the full 64-bit count is at byte 16. */
#define KOVR_DEVICE_INFO_SIZE 64
#define KOVR_DEVICE_INFO_SECTORS32 12
#define KOVR_DEVICE_INFO_SECTORS64 16

/* Area table for VK_Kovr_Format: uint8 count, then entries of 77 bytes:
 * name char[64], int32 percent, int32, int32, uint8 (the last three kept as given). */
#define KOVR_AREA_ENTRY_SIZE 77
#define KOVR_MAX_AREAS 16

/* The partitions of a card: 1 FAT32 (settings files), 2 the card file system. */
#define KOVR_DELETE_ALL_PARTITIONS 7

enum {
  KOVR_OK = 0,
  KOVR_E_ARGUMENT = -1,  /* null pointer, bad name, bad mode, bad table */
  KOVR_E_IO = -2,        /* the device could not be opened, read or written */
  KOVR_E_NOT_KOVR = -3,  /* no card file system, or a damaged one */
  KOVR_E_NOT_FOUND = -4, /* no such area or file */
  KOVR_E_FULL = -5,      /* the file no longer fits its area, or no record is free */
  KOVR_E_READ_ONLY = -6, /* the card was opened without write access */
  KOVR_E_HANDLE = -7,    /* unknown connection block or file handle */
  KOVR_E_BUSY = -8,      /* the file is open for writing elsewhere */
  KOVR_E_PARTITION = -9, /* partition table missing, overlapping or out of range */
  KOVR_E_NO_SPACE = -10  /* the device is too small for the requested layout */
};

/* Library life: Start before use, Stop after the last device close. Starts and stops
 * pair up; the stop matching the first start closes connections still open. */
KOVR_API int VK_Kovr_Start(void);
KOVR_API int VK_Kovr_Stop(void);

/* Non-zero when the device carries an intact card file system. Never writes. */
KOVR_API int VK_Kovr_Check_Kovr_partition(const char* physicalPath);

KOVR_API int VK_Kovr_Device_Open(const char* physicalPath, int flags, void* block);
KOVR_API int VK_Kovr_Device_Close(void* block);

/* Our own calls for devices the process may not open by name (a desktop's disk
 * service hands over an open descriptor). Open_Descriptor is Device_Open on a
 * descriptor of the whole card: the library keeps a duplicate, the caller closes its
 * own. Bind_Descriptor makes every later call naming physicalPath (the checks, the
 * device information, the partition and format calls, Device_Open) use a duplicate
 * of fd instead of opening the path; fd < 0 ends the binding. A descriptor opened
 * with O_EXCL keeps the device claimed for as long as it is bound. */
KOVR_API int VK_Kovr_Device_Open_Descriptor(int fd, int flags, void* block);
KOVR_API int VK_Kovr_Bind_Descriptor(const char* physicalPath, int fd);

/* Lists the files of one area ("NORMAL" or "/NORMAL") in file-number order.
 * cursor starts at 1 and is advanced past the records returned. Returns the number
 * of records placed in buffer (at most its first int32, at most 30); 0 at the end,
 * negative on error. */
KOVR_API int VK_Kovr_Get_FileList(void* block, const char* folder, int32_t* cursor, void* buffer, int reserved);

/* mode "r": an existing file by its number (path "/AREA/NAME" or "NAME" must name
 * it; with fileNumber <= 0 the path alone finds it).
 * mode "w": a new file at path "/AREA/NAME" written as the camera does, overwriting
 * the oldest recordings of the area as it grows. Returns a handle > 0. */
KOVR_API int VK_Kovr_File_Open(void* block, const char* path, const char* mode, int reserved1, int reserved2,
                               int32_t fileNumber);
KOVR_API int VK_Kovr_File_Read(void* block, void* buffer, int32_t count, int handle);
KOVR_API int VK_Kovr_File_Close(void* block, int handle);

/* Our own calls beside those of the card's maker. */
/* Bytes written (all of count) or a negative code. Each write is recorded in the
 * file's directory record, so a cut-off file keeps the bytes that reached the card. */
KOVR_API int VK_Kovr_File_Write(void* block, const void* buffer, int32_t count, int handle);
/* whence 0 from the start, 1 from the current position, 2 from the end. Returns the
 * new position or a negative code; positions past the end read nothing. */
KOVR_API int64_t VK_Kovr_File_Seek(void* block, int handle, int64_t offset, int whence);
KOVR_API int64_t VK_Kovr_File_Size(void* block, int handle);
/* The file number of an open file (for files opened with "w"). */
KOVR_API int32_t VK_Kovr_File_Number(void* block, int handle);
KOVR_API int VK_Kovr_File_Delete(void* block, int32_t fileNumber);

/* Area information for tools. */
typedef struct KovrAreaInfo {
  char name[64];
  int32_t percent;
  int32_t fileCount;
  uint64_t startByte; /* from the start of the device */
  uint64_t lengthBytes;
  uint64_t usedBytes; /* sum of the file sizes */
} KovrAreaInfo;
/* Number of areas, or a negative code. */
KOVR_API int VK_Kovr_Get_Area_Count(void* block);
KOVR_API int VK_Kovr_Get_Area_Info(void* block, int index, KovrAreaInfo* info);

/* Card preparation. info receives KOVR_DEVICE_INFO_SIZE bytes. The partition and
 * format calls claim a block device exclusively (O_EXCL): they fail with KOVR_E_IO
 * while any partition of it is mounted or otherwise in use. */
KOVR_API int VK_Kovr_Get_Master_Device_Info(const char* physicalPath, void* info);
/* mask: bit n clears partition entry n + 1 (7: the first three). */
KOVR_API int VK_Kovr_Delete_Partition(const char* physicalPath, int mask);
/* Partition 1 starts at 1 MiB; a later one right behind the one before it. A size
 * larger than the room left is cut to the whole MiB that fit. startSector and
 * sectorCount (optional) receive the partition's place. */
KOVR_API int VK_Kovr_Create_Partition(const char* physicalPath, int partitionNumber, uint32_t sizeMiBLow,
                                      uint32_t sizeMiBHigh, uint32_t* startSector, uint32_t* sectorCount);
/* Lays out the card file system on partition 2 from the area table. volumePath
 * names the same device; the two numbers are stored as given; reserved is null. */
KOVR_API int VK_Kovr_Format(const char* physicalPath, const char* volumePath, int arg1, int arg2, const void* areaTable,
                            void* reserved);

#ifdef __cplusplus
}
#endif

#endif /* KOVR_KOVR_H */
