#pragma once
// A status bar for window tests: keeps the texts and lets a test act the moment a panel is
// written, as a user watching the status bar during a run would.
#include "jobs/StatusPanels.h"

#include <functional>

class WatchedPanels : public RecordingStatusPanels
{
public:
    void setPanelText(int panel, const QString &text) override
    {
        RecordingStatusPanels::setPanelText(panel, text);
        if (onText)
            onText(panel, text);
    }
    std::function<void(int, const QString &)> onText;
};
