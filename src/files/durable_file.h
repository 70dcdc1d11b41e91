// durable_file.h: writing files so that a reader or a power cut sees either
// the old bytes or the new ones, never a mix: whole writes to a name aside,
// renamed into place; for files that must survive a power cut, data forced
// to the disk with fdatasync and new names made durable by forcing their
// folder. Every file the program writes goes through here.
//
// No globals, nothing printed: every call gives false with the system's
// reason in err when it fails.
#pragma once

#include <string>

// The system's text for an error number (an input/output error for 0).
std::string systemReason(int error);

// Writes every byte to fd, retrying short writes. False with the reason.
bool writeAll(int fd, const std::string& bytes, std::string* err);

// Forces fd's data (and its size) to the disk. `step` names the forcing
// step for the test build that can leave steps out (see forcingStep).
// A file system that does not force at all (EINVAL, ENOTSUP) is no reason
// to stop writing: that gives true, with the reason added to *refused.
bool forceData(int fd, const char* step, std::string* err, std::string* refused);

// Forces the folder holding path, so that a name created, renamed or
// removed there survives a power cut. Refusals as for forceData.
bool forceFolderOf(const std::string& path, const char* step, std::string* err,
                   std::string* refused);

// Writes content to path + ".tmp", forces it, renames it over path and
// forces the folder. On success returns the still open descriptor of the
// file now named path (or closes it when fdOut is null). On failure no
// temporary file is left and path is untouched. Refusals as for forceData.
bool replaceDurably(const std::string& path, const std::string& content,
                    const char* dataStep, const char* folderStep, int* fdOut,
                    std::string* err, std::string* refused);

// Writes content to path + ".tmp" and renames it over path, without forcing
// anything to the disk: for files made again from save.txt at every turn,
// where a flush per turn would cost more than making them. On failure no
// temporary file is left and path is untouched.
bool replaceFile(const std::string& path, const std::string& content, std::string* err);

// True unless the test build was told to leave this forcing step out (the
// crash-state tool checks that each one matters). Always true in the
// program as shipped.
bool forcingStep(const char* step);
