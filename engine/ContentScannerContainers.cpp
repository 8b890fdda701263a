#include "engine/ContentScanner.h"

namespace engine
{

ScanOutcome ContentScanner::ScanContainer(platform::FileSystem& fileSystem, const std::string& path,
                                          ContainerKind kind)
{
    bool found = false;
    bool stopped = false;
    const TextOutcome outcome = VisitContainerText(fileSystem, path, kind, [&](const TextPiece& piece) {
        found = Contains(piece.text.data(), piece.text.size());
        stopped = !found && m_stopRequested && m_stopRequested();
        return !found && !stopped;
    });
    if (found)
        return ScanOutcome::Contains;
    switch (outcome)
    {
    case TextOutcome::NotFound:
        return ScanOutcome::Vanished;
    case TextOutcome::Unreadable:
        return ScanOutcome::Unreadable;
    case TextOutcome::Stopped:
        return ScanOutcome::Stopped;
    case TextOutcome::Read:
        break;
    }
    return ScanOutcome::Lacks;
}

} // namespace engine
