#include "NewestWins.h"

NewestWins::NewestWins(int threads, QObject* parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(threads);
}

NewestWins::~NewestWins()
{
    Cancel();
    m_pool.waitForDone();
}
