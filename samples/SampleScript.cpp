#include "samples/SampleScript.h"

namespace {

using testkit::Action;
using testkit::Fact;
using testkit::MakeRule;
using testkit::Operator;

// Ids of the AI-script language used below, named as the script writes them.
enum FactId : int16_t {
  kTrue = 0,
  kBuildingCountTotal = 7,
  kBuildingTypeCount = 8,
  kBuildingTypeCountTotal = 9,
  kCanAffordResearch = 12,
  kCanBuild = 14,
  kCanBuildWall = 17,
  kCanBuyCommodity = 20,
  kCanResearch = 21,
  kCanSellCommodity = 23,
  kCanSpy = 24,
  kCanTrain = 26,
  kCheatsEnabled = 32,
  kCivilianPopulation = 34,
  kCommodityBuyingPrice = 35,
  kCurrentAge = 37,
  kCurrentAgeTime = 38,
  kDifficulty = 43,
  kEnemyBuildingsInTown = 46,
  kEscrowAmount = 48,
  kFoodAmount = 50,
  kGameTime = 51,
  kGoal = 53,
  kGoldAmount = 54,
  kHousingHeadroom = 55,
  kMilitaryPopulation = 59,
  kPlayerInGame = 62,
  kPlayersCiv = 69,
  kPlayersCurrentAge = 71,
  kPlayersUnitTypeCount = 80,
  kPopulationHeadroom = 83,
  kRandomNumber = 84,
  kRegicideGame = 85,
  kResearchCompleted = 87,
  kSoldierCount = 91,
  kStartingAge = 93,
  kStoneAmount = 95,
  kStrategicNumber = 96,
  kTauntDetected = 97,
  kTimerTriggered = 98,
  kTownUnderAttack = 99,
  kUnitAvailable = 100,
  kUnitTypeCountTotal = 104,
  kWoodAmount = 109,
  kHoldRelics = 112,
};

enum ActionId : int16_t {
  kAcknowledgeTaunt = 1,
  kAttackNow = 2,
  kBuild = 3,
  kBuildWall = 6,
  kBuyCommodity = 7,
  kChatLocalToSelf = 12,
  kChatToAll = 13,
  kChatToAllies = 16,
  kChatToEnemies = 19,
  kChatToPlayer = 22,
  kDisableSelf = 30,
  kDisableTimer = 31,
  kEnableTimer = 34,
  kGenerateRandomNumber = 36,
  kLog = 37,
  kReleaseEscrow = 39,
  kResearch = 40,
  kSellCommodity = 42,
  kSetAuthorName = 43,
  kSetAuthorEmail = 44,
  kSetAuthorVersion = 45,
  kSetDifficultyParameter = 46,
  kSetEscrowPercentage = 48,
  kSetGoal = 49,
  kSetStance = 52,
  kSetStrategicNumber = 53,
  kSpy = 54,
  kTaunt = 55,
  kTrain = 57,
  kTributeToPlayer = 58,
};

// Relational operators and commodities.
enum : int32_t { kLess = 0, kLessOrEqual = 1, kGreater = 2, kGreaterOrEqual = 3, kEqual = 4, kNotEqual = 5 };
enum : int32_t { kFood = 0, kWood = 1, kStone = 2, kGold = 3 };

// Units, buildings and lines.
enum : int32_t {
  kArcherLine = -299,
  kBarracks = 12,
  kBlacksmith = 103,
  kCastle = 82,
  kFarm = 50,
  kHouse = 70,
  kKnightLine = -287,
  kLumberCamp = 562,
  kMarket = 84,
  kMilitiamanLine = -296,
  kMill = 68,
  kMiningCamp = 584,
  kScoutCavalry = 448,
  kSpearmanLine = -295,
  kStoneWallLine = -399,
  kTownCenter = 109,
  kTradeCart = 128,
  kVillager = 83,
  kWatchTower = 79,
};

// Researches and ages.
enum : int32_t {
  kTownWatch = 8,
  kHeavyPlow = 13,
  kHorseCollar = 14,
  kLoom = 22,
  kFeudalAge = 101,
  kCastleAge = 102,
  kImperialAge = 103,
  kDarkAge = 104,
  kWheelBarrow = 213,
};

// Strategic numbers.
enum : int32_t {
  kSnPercentCivilianExplorers = 0,
  kSnCapCivilianExplorers = 3,
  kSnMinimumAttackGroupSize = 16,
  kSnTotalNumberExplorers = 18,
  kSnMaximumAttackGroupSize = 26,
  kSnNumberAttackGroups = 36,
  kSnNumberDefendGroups = 38,
  kSnCampMaxDistance = 86,
  kSnMillMaxDistance = 87,
  kSnFoodGathererPercentage = 117,
  kSnGoldGathererPercentage = 118,
  kSnStoneGathererPercentage = 119,
  kSnWoodGathererPercentage = 120,
  kSnInitialExplorationRequired = 167,
  kSnAllowCivilianDefense = 225,
};

// Player selectors.
enum : int32_t { kEveryEnemy = -203, kEveryAlly = -201, kAnyEnemy = -106, kAnyAlly = -101 };

// Indices into the string table below.
enum : int32_t {
  kAuthor,
  kEmail,
  kVersion,
  kGreeting,
  kFeudalChat,
  kCastleWarning,
  kOnMyWay,
  kShortOfOne,
  kStandardStart,
  kCheatsOn,
  kProtectTheKing,
  kUnderAttack,
  kNoAllies,
  kEmpty,
};

const std::vector<std::string> kStrings = {
    "Velkorin sample",
    "sample@velkorin.invalid",
    "1.0",
    "Good luck & \"have fun\"!",
    "Advancing to the Feudal Age",
    "The enemy reached the Castle Age",
    "On my way",
    "Short of food or wood, not both",
    "Standard start",
    "Cheats are on: 100% fair play?",
    "Protect the king",
    "We are under attack!",
    "No allies left\\alone",
    "",
};

std::vector<testkit::RuleSpec> SampleRules() {
  return {
      // Identity and the opening settings, once.
      MakeRule({Fact(kTrue)}, {Action(kSetAuthorName, kAuthor), Action(kSetAuthorEmail, kEmail),
                               Action(kSetAuthorVersion, kVersion), Action(kDisableSelf)}),
      MakeRule({Fact(kTrue)},
               {Action(kSetStrategicNumber, kSnPercentCivilianExplorers, 0),
                Action(kSetStrategicNumber, kSnCapCivilianExplorers, 0),
                Action(kSetStrategicNumber, kSnTotalNumberExplorers, 1),
                Action(kSetStrategicNumber, kSnFoodGathererPercentage, 60),
                Action(kSetStrategicNumber, kSnWoodGathererPercentage, 40),
                Action(kSetStrategicNumber, kSnGoldGathererPercentage, 0),
                Action(kSetStrategicNumber, kSnStoneGathererPercentage, 0),
                Action(kSetStrategicNumber, kSnCampMaxDistance, 25),
                Action(kSetStrategicNumber, kSnMillMaxDistance, 30),
                Action(kSetStrategicNumber, kSnInitialExplorationRequired, 0), Action(kDisableSelf)}),
      MakeRule({Fact(kTrue)}, {Action(kChatToEnemies, kGreeting), Action(kEnableTimer, 1, 600), Action(kDisableSelf)}),
      MakeRule({Fact(kStartingAge, kEqual, kDarkAge)}, {Action(kChatLocalToSelf, kStandardStart), Action(kDisableSelf)}),
      MakeRule({Fact(kCheatsEnabled)}, {Action(kChatToAll, kCheatsOn), Action(kDisableSelf)}),
      MakeRule({Fact(kDifficulty, kLessOrEqual, 1)}, {Action(kSetDifficultyParameter, 0, 50), Action(kDisableSelf)}),

      // Economy of the Dark Age.
      MakeRule({Fact(kCivilianPopulation, kLess, 30), Fact(kCanTrain, kVillager)}, {Action(kTrain, kVillager)}),
      MakeRule({Fact(kHousingHeadroom, kLess, 5), Fact(kPopulationHeadroom, kGreater, 0), Fact(kCanBuild, kHouse)},
               {Action(kBuild, kHouse)}),
      MakeRule({Fact(kBuildingTypeCountTotal, kMill, kEqual, 0), Fact(kCanBuild, kMill)}, {Action(kBuild, kMill)}),
      MakeRule({Fact(kBuildingTypeCountTotal, kLumberCamp, kLess, 2), Fact(kCivilianPopulation, kGreaterOrEqual, 12),
                Fact(kCanBuild, kLumberCamp)},
               {Action(kBuild, kLumberCamp)}),
      MakeRule({Fact(kBuildingTypeCount, kFarm, kLess, 8), Fact(kWoodAmount, kGreaterOrEqual, 60),
                Fact(kCanBuild, kFarm)},
               {Action(kBuild, kFarm)}),
      MakeRule({Fact(kGameTime, kGreater, 300), Fact(kCanResearch, kLoom)}, {Action(kResearch, kLoom)}),
      MakeRule({Fact(kCanAffordResearch, kHorseCollar), Fact(kCanResearch, kHorseCollar)},
               {Action(kResearch, kHorseCollar)}),
      MakeRule({Fact(kResearchCompleted, kHorseCollar), Fact(kCanResearch, kHeavyPlow)},
               {Action(kResearch, kHeavyPlow)}),
      MakeRule({Fact(kCanResearch, kWheelBarrow)}, {Action(kResearch, kWheelBarrow)}),
      MakeRule({Fact(kCanResearch, kTownWatch), Fact(kCurrentAge, kGreaterOrEqual, 1)}, {Action(kResearch, kTownWatch)}),

      // Advancing through the ages.
      MakeRule({Operator(testkit::kAnd), Fact(kFoodAmount, kGreaterOrEqual, 500),
                Fact(kBuildingTypeCountTotal, kHouse, kGreaterOrEqual, 2), Fact(kCanResearch, kFeudalAge)},
               {Action(kResearch, kFeudalAge), Action(kChatToAll, kFeudalChat)}),
      MakeRule({Fact(kCurrentAgeTime, kGreaterOrEqual, kFeudalAge), Fact(kCanResearch, kCastleAge)},
               {Action(kResearch, kCastleAge)}),
      MakeRule({Fact(kCurrentAge, kEqual, 3), Fact(kCanResearch, kImperialAge), Fact(kGoldAmount, kGreater, 800)},
               {Action(kResearch, kImperialAge)}),
      MakeRule({Fact(kPlayersCurrentAge, kEveryEnemy, kGreaterOrEqual, kCastleAge)},
               {Action(kChatToAllies, kCastleWarning), Action(kDisableSelf)}),

      // Buildings of war and defence.
      MakeRule({Operator(testkit::kNot), Fact(kBuildingTypeCount, kBarracks, kGreater, 0),
                Fact(kCurrentAge, kGreaterOrEqual, 1), Fact(kCanBuild, kBarracks)},
               {Action(kBuild, kBarracks)}),
      MakeRule({Fact(kBuildingTypeCountTotal, kBlacksmith, kEqual, 0), Fact(kCanBuild, kBlacksmith)},
               {Action(kBuild, kBlacksmith)}),
      MakeRule({Fact(kBuildingTypeCountTotal, kMarket, kEqual, 0), Fact(kCanBuild, kMarket)},
               {Action(kBuild, kMarket)}),
      MakeRule({Fact(kBuildingTypeCountTotal, kMiningCamp, kLess, 1), Fact(kCurrentAge, kGreaterOrEqual, 1),
                Fact(kCanBuild, kMiningCamp)},
               {Action(kBuild, kMiningCamp), Action(kSetStrategicNumber, kSnGoldGathererPercentage, 15)}),
      MakeRule({Fact(kCanBuild, kCastle), Fact(kStoneAmount, kGreaterOrEqual, 650)}, {Action(kBuild, kCastle)}),
      MakeRule({Fact(kBuildingCountTotal, kLess, 25), Fact(kCanBuild, kWatchTower)}, {Action(kBuild, kWatchTower)}),
      MakeRule({Fact(kCanBuildWall, 2, kStoneWallLine), Fact(kCurrentAge, kGreaterOrEqual, 2)},
               {Action(kBuildWall, 2, kStoneWallLine)}),
      MakeRule({Fact(kBuildingTypeCount, kTownCenter, kLess, 2), Fact(kCanBuild, kTownCenter),
                Fact(kCurrentAge, kGreaterOrEqual, 2)},
               {Action(kBuild, kTownCenter)}),

      // The army.
      MakeRule({Fact(kSoldierCount, kLess, 20), Fact(kCanTrain, kMilitiamanLine)}, {Action(kTrain, kMilitiamanLine)}),
      MakeRule({Fact(kUnitAvailable, kScoutCavalry), Fact(kCanTrain, kScoutCavalry)}, {Action(kTrain, kScoutCavalry)}),
      MakeRule({Fact(kPlayersUnitTypeCount, kEveryEnemy, kKnightLine, kGreater, 5), Fact(kCanTrain, kSpearmanLine)},
               {Action(kTrain, kSpearmanLine)}),
      MakeRule({Operator(testkit::kOr), Fact(kPlayersCiv, kAnyEnemy, 8), Fact(kMilitaryPopulation, kLess, 10),
                Fact(kCanTrain, kArcherLine)},
               {Action(kTrain, kArcherLine)}),
      MakeRule({Fact(kUnitTypeCountTotal, kVillager, kGreaterOrEqual, 40), Fact(kCanTrain, kTradeCart),
                Fact(kBuildingTypeCount, kMarket, kGreaterOrEqual, 1)},
               {Action(kTrain, kTradeCart)}),
      MakeRule({Fact(kStrategicNumber, kSnMinimumAttackGroupSize, kLess, 5), Fact(kGoal, 1, 0)},
               {Action(kSetStrategicNumber, kSnMinimumAttackGroupSize, 5),
                Action(kSetStrategicNumber, kSnMaximumAttackGroupSize, 20),
                Action(kSetStrategicNumber, kSnNumberAttackGroups, 1), Action(kSetGoal, 1, 1)}),
      MakeRule({Fact(kTimerTriggered, 1), Fact(kMilitaryPopulation, kGreaterOrEqual, 20)},
               {Action(kAttackNow), Action(kDisableTimer, 1), Action(kEnableTimer, 1, 600)}),

      // Defence, nested conditions.
      MakeRule({Operator(testkit::kOr), Operator(testkit::kAnd), Fact(kTownUnderAttack),
                Fact(kSoldierCount, kLess, 5), Operator(testkit::kNot), Fact(kPlayerInGame, kAnyAlly)},
               {Action(kSetStrategicNumber, kSnAllowCivilianDefense, 1), Action(kChatToAllies, kUnderAttack)}),
      MakeRule({Fact(kEnemyBuildingsInTown)}, {Action(kSetStrategicNumber, kSnNumberDefendGroups, 2)}),
      MakeRule({Operator(testkit::kNot), Operator(testkit::kOr), Fact(kPlayerInGame, kAnyAlly),
                Fact(kPlayerInGame, kEveryAlly)},
               {Action(kLog, kNoAllies), Action(kDisableSelf)}),

      // Trade and tributes.
      MakeRule({Fact(kCanSellCommodity, kStone), Fact(kStoneAmount, kGreater, 800)}, {Action(kSellCommodity, kStone)}),
      MakeRule({Fact(kCanBuyCommodity, kFood), Fact(kCommodityBuyingPrice, kFood, kLess, 120),
                Fact(kGoldAmount, kGreater, 300)},
               {Action(kBuyCommodity, kFood)}),
      MakeRule({Operator(testkit::kXor), Fact(kWoodAmount, kLess, 100), Fact(kFoodAmount, kLess, 100)},
               {Action(kLog, kShortOfOne)}),
      MakeRule({Operator(testkit::kNand), Fact(kEscrowAmount, kGold, kGreaterOrEqual, 200),
                Fact(kCurrentAge, kLess, 2)},
               {Action(kReleaseEscrow, kGold), Action(kSetEscrowPercentage, kGold, 0)}),
      MakeRule({Fact(kGameTime, kGreater, 1800), Fact(kGoldAmount, kGreater, 1000)},
               {Action(kTributeToPlayer, kEveryAlly, 100, 0)}),

      // Taunts, randomness and the rest.
      MakeRule({Fact(kTauntDetected, kAnyAlly, 31)},
               {Action(kAcknowledgeTaunt, kAnyAlly, 31), Action(kChatToPlayer, kAnyAlly, kOnMyWay), Action(kTaunt, 32)}),
      MakeRule({Fact(kRandomNumber, kLess, 5)}, {Action(kGenerateRandomNumber, 100)}),
      MakeRule({Fact(kRegicideGame)}, {Action(kChatLocalToSelf, kProtectTheKing), Action(kDisableSelf)}),
      MakeRule({Operator(testkit::kNor), Fact(kHoldRelics), Fact(kCanSpy)}, {Action(kChatToAll, kEmpty)}),
      MakeRule({Fact(kCanSpy), Fact(kGameTime, kGreater, 3600)}, {Action(kSpy), Action(kSetStance, kAnyEnemy, 3)}),
  };
}

// The slot that ends the AI blocks of a recorded game, then the rest of the header.
std::vector<uint8_t> Trailer() {
  std::vector<uint8_t> trailer = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
  trailer.resize(4096, 0);
  return trailer;
}

}  // namespace

testkit::AiSectionSpec SampleSection() {
  testkit::AiSectionSpec section;
  section.strings = kStrings;
  section.rules = SampleRules();
  section.trailer = Trailer();
  // Who played: the host, and the computer player whose script this is.
  section.players = testkit::Players({{1, testkit::kHuman, "Host", 1, 0, 2}, {2, testkit::kComputer, "Velkorin", 4, 1, 3}});
  return section;
}

std::vector<uint8_t> SampleRecGame() {
  // The body stands for the recorded game's commands, which nothing reads.
  return testkit::BuildRecGame(SampleSection(), {.body = std::vector<uint8_t>(2048, 0)});
}
