#include "dictionary_file.h"

namespace vortigo {

std::string dictionaryFileName(int dictionaryIndex)
{
    return "SLESSICO." + std::to_string(dictionaryIndex);
}

void readDictionaryHeader(std::string_view, GameState&) {}

bool apridiz(GameState&, Platform&, const std::filesystem::path&)
{
    return true;
}

DrawOutcome DrawWord(GameState&, Platform&, ClockRandom&, const std::filesystem::path&, double)
{
    return DrawOutcome::Failed;
}

}  // namespace vortigo
