#include "StandinServer.h"
// Engine under construction.
namespace standin {
struct StandinServer::Private {};
StandinServer::StandinServer() : d(std::make_unique<Private>()) {}
StandinServer::~StandinServer() = default;
} // namespace standin
