// correction.cpp: see correction.h.
#include "control/correction.h"

#include "control/prompts.h"
#include "engine/match_log.h"

const char* const kTrueWinnerPrompt = "Vrai gagnant : ";

namespace {

const char* const kAlreadyRecorded = "Ce resultat est deja enregistre";

// " ; 3 resultats deviennent sans objet", singular for one, empty for none.
std::string lostNotice(size_t lost) {
  if (lost == 0) return "";
  if (lost == 1) return " ; 1 resultat devient sans objet";
  return " ; " + std::to_string(lost) + " resultats deviennent sans objet";
}

}  // namespace

std::string trueLoserPrompt(const std::string& winner) {
  return "Vrai perdant contre " + winner;
}

CorrectionPlan planCorrection(const TournamentState& now, const std::string& winner,
                              const std::string& loser) {
  const Participant w = lastNamed(now.players, winner);
  const Participant l = lastNamed(now.players, loser);
  CorrectionPlan plan;
  plan.prompt = kAcknowledgePrompt;
  size_t position = 0;
  // A player has no result against itself that the bracket could consult.
  if (!isPlayerId(w.id) || !isPlayerId(l.id) || w.id == l.id ||
      !findResult(w.id, l.id, &position)) {
    plan.message = "Aucun resultat entre " + winner + " et " + loser;
    return plan;
  }
  // A copy: trying the correction out may move the log.
  const MatchRecord logged = matchLog()[position];
  if (logged.winner.id == w.id) {
    plan.outcome = CorrectionOutcome::kAlreadyRecorded;
    plan.message = kAlreadyRecorded;
    return plan;
  }
  plan.outcome = CorrectionOutcome::kReversed;
  plan.position = position;
  plan.corrected = MatchRecord{w, l};
  const size_t lost = resultsLostByCorrection(now, resultLog(), position, plan.corrected);
  plan.message = "Le resultat sera inverse (" + logged.winner.name +
                 " avait gagne contre " + logged.loser.name + ")" + lostNotice(lost);
  plan.prompt = kConfirmPrompt;
  return plan;
}

bool applyCorrection(const CorrectionPlan& plan, const std::string& answer) {
  if (plan.outcome != CorrectionOutcome::kReversed || answer == kRefusal) return false;
  return correctResult(plan.position, plan.corrected);
}
