#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "data/KeyAssignment.h"
#include "data/XmlLimits.h"

// The keys the user has given a new function, kept in record.xml.
//
// Changes come from the UI thread; the filter listener's thread reads the table
// while a key event is handled. Every change therefore builds a new immutable
// list and swaps it in under a lock: a reader holding a Snapshot() sees one
// consistent list however long it keeps it.
class KeyAssignmentTable {
public:
    using Entries = std::vector<KeyAssignment>;
    using SnapshotPtr = std::shared_ptr<const Entries>;

    // The assignment flow makes one record per key of the keyboard (about a
    // hundred), each with the steps of one macro group. A file beyond these
    // limits is broken, and a change that would take the table beyond them is
    // refused, so that what is saved always loads again.
    static constexpr std::size_t kMaxRecords = 1000;
    static constexpr std::size_t kMaxSteps = 20000;  // all records together
    // A record is two tags and six attributes, a step one or two tags and four;
    // attributes are counted twice over, see XmlLimits.
    static constexpr XmlLimits kFileLimits{4u << 20, 2 * (kMaxRecords + kMaxSteps) + 64,
                                           2 * (6 * kMaxRecords + 4 * kMaxSteps) + 64};

    static KeyAssignmentTable& Instance();

    KeyAssignmentTable();
    KeyAssignmentTable(const KeyAssignmentTable&) = delete;
    KeyAssignmentTable& operator=(const KeyAssignmentTable&) = delete;

    // Stores the path and reads the file. False for an empty path or a file that
    // cannot be read or parsed; the entries then stay as they were.
    bool Load(const std::string& path);
    // The same rules for a document already in memory; the path is not touched.
    bool LoadFromBuffer(std::string_view xml);
    // Rewrites the whole file atomically; false when it could not be written.
    bool Save() const;

    // Replaces the first entry with the same code, or appends; then saves.
    // Returns the result of the save; false without a change when the table
    // would grow beyond its limits.
    bool SetAssignment(const KeyAssignment& assignment);
    // Removes the first entry with this code; does not save.
    bool RemoveAssignment(std::int32_t code);
    // Removes every entry and saves. Returns the result of the save.
    bool ClearAll();

    // The current entries in file order. Safe from any thread.
    SnapshotPtr Snapshot() const;
    // First entry of a snapshot with this code, or null.
    static const KeyAssignment* Find(const Entries& entries, std::int32_t code);

    std::string Path() const;
    // The file form of the current entries (what Save writes).
    std::string ToXml() const;

    // Back to the freshly created state: no entries, no path.
    void ResetForTest();

private:
    static std::string Serialize(const Entries& entries);
    static bool WithinLimits(const Entries& entries);
    void Publish(SnapshotPtr next);
    bool SaveEntries(const SnapshotPtr& entries) const;

    // Serialises changes (and their saves) so the file always matches the
    // latest list; readers never take it.
    mutable std::mutex changeMutex_;
    // Guards the snapshot pointer and the path; held only for a pointer copy.
    mutable std::mutex stateMutex_;
    SnapshotPtr entries_;
    std::string path_;
};
