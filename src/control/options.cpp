// options.cpp: see options.h.
#include "control/options.h"

namespace {

// A port number of at most five digits, 0 to 65535.
bool parsePort(const std::string& text, int* port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > 65535) return false;
  *port = value;
  return true;
}

bool isShareOption(const std::string& arg) { return arg == "--partager" || arg == "--share"; }

bool isPlayersOption(const std::string& arg) { return arg == "--joueurs" || arg == "--players"; }

}  // namespace

bool parseOptions(const std::vector<std::string>& args, ProgramOptions* options,
                  std::string* err) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--version") {
      options->version = true;
    } else if (isShareOption(name)) {
      options->share = true;
      std::string port;
      if (equals != std::string::npos) {
        port = arg.substr(equals + 1);
      } else if (i + 1 < args.size() && args[i + 1].compare(0, 1, "-") != 0) {
        port = args[++i];
      } else {
        continue;
      }
      if (!parsePort(port, &options->port)) {
        *err = "Port invalide : " + port + " (de 0 à 65535)";
        return false;
      }
    } else if (isPlayersOption(name)) {
      if (equals != std::string::npos) {
        options->playersFile = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        options->playersFile = args[++i];
      }
      if (options->playersFile.empty()) {
        *err = "Il manque le fichier des joueurs : " + name + " FICHIER";
        return false;
      }
    } else {
      *err = arg.compare(0, 1, "-") == 0 ? "Option inconnue : " + arg
                                          : "Argument inattendu : " + arg;
      return false;
    }
  }
  return true;
}

std::string usageText() {
  return "Usage : brackora [--partager [PORT]] [--joueurs FICHIER] [--help] [--version]\n"
         "\n"
         "Mène le tournoi de placement du club dans une fenêtre, au clavier.\n"
         "\n"
         "Options :\n"
         "  --partager [PORT], --share [PORT]\n"
         "              publie la page des joueurs sur le réseau local (port 8080\n"
         "              par défaut, 0 pour un port libre) ; l'adresse à taper\n"
         "              s'affiche en bas de la fenêtre\n"
         "  --joueurs FICHIER, --players FICHIER\n"
         "              commence un nouveau tournoi avec les joueurs du fichier, un\n"
         "              nom par ligne (UTF-8 ou Latin-1, une première ligne « nom »\n"
         "              ignorée) ; un fichier incorrect est refusé, ligne par ligne\n"
         "  --help      affiche cette aide\n"
         "  --version   affiche la version\n"
         "\n"
         "Saisie rapide des résultats :\n"
         "  Tab                         complète le nom (début du nom ou d'un mot,\n"
         "                              sans tenir compte des accents) ; Tab encore :\n"
         "                              le nom suivant parmi les possibles\n"
         "  Entrée sur « Perdant »      accepte l'adversaire proposé\n"
         "\n"
         "Touches :\n"
         "  F2                          classement ou places encore possibles\n"
         "  Pg.Suiv, Pg.Préc            fait défiler les panneaux d'une demi-page\n"
         "  Bas, Haut                   d'une ligne\n"
         "  Début, Fin                  en haut, en bas\n"
         "\n"
         "Fichiers écrits dans le dossier courant :\n"
         "  save.txt        chaque réponse ; 'load' reprend le tournoi\n"
         "  save.txt.bak    le tournoi précédent\n"
         "  tournoi.html    la page des joueurs, à chaque tour\n"
         "  classement.csv  le classement (place;joueur) pour un tableur\n"
         "  ecran.html      l'écran de salle, à chaque tour (/ecran avec --partager)\n";
}
