// place_words.cpp: see place_words.h.
#include "views/place_words.h"

#include <algorithm>
#include <climits>

std::string ordinal(int place) {
  return std::to_string(place) + (place == 1 ? "er" : "e ");
}

std::string placeName(int place) {
  return std::to_string(place) + (place == 1 ? "er" : "e");
}

std::string placesText(const std::vector<int>& places, const char* to) {
  if (places.empty()) return "-";
  std::string text;
  for (size_t start = 0; start < places.size();) {
    size_t end = start;  // last place of the run starting at start
    while (end + 1 < places.size() && places[end + 1] == places[end] + 1) ++end;
    if (!text.empty()) text += ", ";
    text += placeName(places[start]);
    if (end > start) text += to + placeName(places[end]);
    start = end + 1;
  }
  return text;
}

std::vector<size_t> playersByBestPlace(const TournamentState& state) {
  auto best = [&state](size_t id) {
    return id < state.reachable.size() && !state.reachable[id].empty()
               ? state.reachable[id].front()
               : INT_MAX;
  };
  std::vector<size_t> order(state.players.size());
  for (size_t id = 0; id < order.size(); ++id) order[id] = id;
  std::stable_sort(order.begin(), order.end(),
                   [&best](size_t a, size_t b) { return best(a) < best(b); });
  return order;
}
