#pragma once

#include "app/SideState.h"

class App;

// Fetches what a side shows of its server. The listing itself comes with the
// listing parser; for now a refresh reads the current directory.
class ListingRetrieval {
public:
    explicit ListingRetrieval(App& app) : m_app(app) {}

    // useCache: navigation may replay a cached listing; explicit refreshes
    // and changed contents do not.
    void RefreshDirectory(SideId side, bool useCache);
    // PWD: the side's CurrentPath and path box follow the server's answer.
    void ReadCurrentDirectory(SideId side);

private:
    App& m_app;
};
