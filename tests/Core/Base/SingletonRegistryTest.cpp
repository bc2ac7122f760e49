#include "Core/Base/Singletone.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<std::string> gDestroyed;

// Each test uses its own classes: a torn-down singleton class stays torn down.
template <int N>
class Service : public base::Singletone<Service<N>>
{
public:
    ~Service() override { gDestroyed.push_back(Name()); }
    static std::string Name() { return "S" + std::to_string(N); }

    std::vector<base::SingletoneBase*> GetDependencies() override { return mDependencies; }

    std::vector<base::SingletoneBase*> mDependencies;
};

// Logs from its destructor through another singleton, as profiles and the
// language table do with their containers.
template <int N, int Used>
class User : public base::Singletone<User<N, Used>>
{
public:
    ~User() override
    {
        Service<Used>* used = Service<Used>::GetInstance();
        gDestroyed.push_back(used ? "U" + std::to_string(N) + " saw S" + std::to_string(Used)
                                  : "U" + std::to_string(N) + " found nothing");
    }
    std::vector<base::SingletoneBase*> GetDependencies() override { return {Service<Used>::Instance()}; }
};

class SingletonRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gDestroyed.clear();
        base::SingletonRegistry::SetCurrent(&mRegistry);
    }
    void TearDown() override
    {
        mRegistry.ReleaseAll();
        base::SingletonRegistry::SetCurrent(nullptr);
    }

    base::SingletonRegistry mRegistry;
};

TEST_F(SingletonRegistryTest, KeptLastOutlivesEveryOtherAndADestructorFindsWhatItDependsOn)
{
    mRegistry.KeepLast(Service<50>::Instance());
    Service<20>::Instance();
    User<21, 20>::Instance();
    mRegistry.ReleaseAll();
    EXPECT_EQ(gDestroyed, (std::vector<std::string>{"U21 saw S20", "S20", "S50"}));
}

// Both used to read past the list or loop for ever.
TEST_F(SingletonRegistryTest, UnregisteredDependencyOrPairMemberAndCyclesLeaveTheOrderAlone)
{
    Service<40>* a = Service<40>::Instance();
    Service<41>* b = Service<41>::Instance();
    Service<42> stranger;
    mRegistry.Unregister(&stranger);
    a->mDependencies.push_back(&stranger);
    base::SingletonRegistry::AddPair(b, &stranger);
    base::SingletonRegistry::AddPair(&stranger, a);
    Service<43>* c = Service<43>::Instance();
    Service<44>* d = Service<44>::Instance();
    c->mDependencies.push_back(d);
    d->mDependencies.push_back(c);
    mRegistry.ReleaseAll();
    EXPECT_EQ(gDestroyed.size(), 4u);
    EXPECT_EQ(gDestroyed[0], "S40");
    gDestroyed.clear();
}

TEST_F(SingletonRegistryTest, NothingIsCreatedOnceTeardownHasBegunNorHandedOutAgain)
{
    class Late : public base::Singletone<Late>
    {
    public:
        ~Late() override { gDestroyed.push_back(Service<71>::Instance() ? "created" : "refused"); }
    };
    Late::Instance();
    Service<60>::Instance();
    mRegistry.ReleaseAll();
    EXPECT_EQ(gDestroyed, (std::vector<std::string>{"refused", "S60"}));
    EXPECT_EQ(Service<60>::GetInstance(), nullptr);
    EXPECT_EQ(Service<60>::Instance(), nullptr);
    EXPECT_TRUE(Service<60>::IsTornDown());
}

TEST_F(SingletonRegistryTest, SingletonDeletedEarlyIsNotDeletedAgain)
{
    delete Service<80>::Instance();
    EXPECT_EQ(Service<80>::GetInstance(), nullptr);
    delete Service<81>::Instance();
    // A second object of a singleton class is not the instance: deleting it
    // must leave the instance in place.
    Service<82>* instance = Service<82>::Instance();
    delete new Service<82>;
    EXPECT_EQ(Service<82>::GetInstance(), instance);
    EXPECT_FALSE(Service<82>::IsTornDown());
    mRegistry.ReleaseAll(); // ends although only emptied entries are left
    EXPECT_EQ(gDestroyed, (std::vector<std::string>{"S80", "S81", "S82", "S82"}));
    EXPECT_TRUE(mRegistry.GetSingletons().empty());
}

} // namespace
