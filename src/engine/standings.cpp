// The standings: one numbered row per place, written into rightPanel.
#include "engine/standings.h"


#include "display/text_panel.h"
#include "engine/match_log.h"

namespace {

constexpr unsigned kStandingsNameWidth = 30;

// The template with its first '%' replaced by the place's ordinal; any later
// '%' stays. A template without '%' is used as it is.
std::string rowPrefix(const std::string& rowTemplate, int place) {
  std::string prefix = rowTemplate;
  const size_t percent = prefix.find('%');
  if (percent != std::string::npos) prefix.replace(percent, 1, ordinal(place));
  return prefix;
}

}  // namespace

std::string ordinal(int place) {
  return std::to_string(place) + (place == 1 ? "er" : "e ");
}

void writeStandings(std::string rowTemplate, std::vector<Participant> placement) {
  int place = 1;
  for (const Participant& entry : placement) {
    rightPanel << rowPrefix(rowTemplate, place)
               << fitName(entry.name, kStandingsNameWidth) << std::endl;
    ++place;
  }
}
