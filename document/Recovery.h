// Snapshots of the unsaved document in %LOCALAPPDATA%\OrvelloWord\Recovery, so that a
// crash, a kill or a power cut loses at most the last two seconds of typing; and their
// restoring at the next start. The file format is in RecoveryFormat.h.
#pragma once
#include <windows.h>

// Starts keeping snapshots for this program (the editor personality only): takes the
// program's lock in the recovery folder, then restores the snapshot that a "/restore
// <name>" command line names, or offers what ended programs left behind. 1 when a
// document was restored into this window.
int StartRecovery(HWND main, const char *commandLine);
// Starts keeping snapshots without offering anything; 1 when the folder and the lock
// are there. (StartRecovery does this first; benchmarks call it alone.)
int BeginSnapshots(HWND main);
// The editor reported a change (EN_CHANGE): a snapshot follows 2 s after the last
// change, and at least every 30 s while changes go on.
void NoteDocumentChanged();
// The document no longer needs its snapshot (saved, discarded, replaced): any snapshot
// still being written is finished first, then the file is removed.
void DropSnapshot();
// Records the size and last-write time of the document's file (null: untitled), so a
// restore can tell whether the file changed after the snapshot.
void RememberDocumentFile(const char *path);
// A normal end: no snapshot stays behind, and the lock goes.
void EndRecovery();

// Snapshots wait while one of these lives (a save in progress).
class SnapshotHold {
public:
    SnapshotHold();
    ~SnapshotHold();
    SnapshotHold(const SnapshotHold &) = delete;
    SnapshotHold &operator=(const SnapshotHold &) = delete;
};

// Takes a snapshot now (when the document is modified and nothing holds snapshots off);
// 1 when one was handed to the writer. heldMs (when given) receives how long the
// program was held reading the document.
int TakeSnapshot(double *heldMs = 0);
// Waits until every snapshot handed to the writer is in place; the milliseconds the
// last one took to write (flush and rename included) go to writeMs when given.
void WaitForSnapshotWriter(double *writeMs = 0);
// The recovery folder (no trailing backslash); empty before BeginSnapshots.
const char *RecoveryFolder();
// This program's snapshot file, full path; empty before BeginSnapshots.
const char *SnapshotPath();
// For a restored document: the file's size and last-write time as its snapshot says
// they were when it was opened or last saved.
void RestoreDocumentFile(long long size, unsigned long long lastWrite);
