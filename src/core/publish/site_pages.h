#pragma once
// The pool as a small static web site: the standings with each participant's move since the
// last round was completed, the Pool Outlook, one page per participant with their bracket, the
// results bracket, Who Picked Whom and a chart of the ranks after each round. Every page stands
// alone (its own style, no script, nothing fetched), is UTF-8 and fits a phone's width.
#include <cstdint>
#include <string>

#include "core/outlook/outlook.h"

class PoolSession;

struct PublishOptions {
    std::string asOf;  // "As of: 12/08/2026 21:05", on every page
    int places = 3;    // paid places of the outlook's Money %
    // As the outlook window and the command line compute it, so a big pool stays bounded in time.
    outlook::OutlookOptions outlook;
};

struct PublishSummary {
    int pages = 0;
    std::uintmax_t bytes = 0;
    bool outlookEstimated = false;  // the outlook page says its figures are estimates
};

// Scores the pool, sorts it as the standings open (total points, highest first) and publishes it
// to outDir (see SiteFolder); the pool's list is left in that order, so pass a pool read for the
// purpose (loadUnchanged). A failure throws a HoopError and leaves outDir as it was.
PublishSummary publishPool(PoolSession& pool, const std::string& outDir, const PublishOptions& options);

// The file name of a participant's page.
std::string participantPageName(std::int32_t id);

// The local time of day now, "21:05", for the as-of line beside the pool's date.
std::string timeOfDayText();

// "Site published to DIR: N pages."
std::string publishedText(const std::string& outDir, const PublishSummary& summary);
