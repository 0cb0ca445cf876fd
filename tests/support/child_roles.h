// Roles that a test program plays as the child of one of its own tests (a
// window that is killed while it types, say). A role is no test: it is not
// listed, so ctest never registers it and never reports it as skipped; the
// program's main() plays it instead of running the tests when the parent
// names it in kChildRoleVariable.
#pragma once

#include <cstdlib>
#include <functional>
#include <map>
#include <string>

namespace mirotabe::testing_support {

// The environment variable that names the role a child plays.
inline constexpr const char* kChildRoleVariable = "MIROTABE_TEST_CHILD_ROLE";

using ChildRole = std::function<int()>;

inline std::map<std::string, ChildRole>& ChildRoles() {
  static std::map<std::string, ChildRole> roles;
  return roles;
}

// Registers a role, at namespace scope: `const bool kRegistered = AddChildRole(...)`.
inline bool AddChildRole(const std::string& name, ChildRole role) {
  return ChildRoles().emplace(name, std::move(role)).second;
}

// The role the environment names, or none. A name that no role has is a
// fault of the parent, which the child reports by its exit status.
inline int PlayChildRole(const char* name) {
  const auto role = ChildRoles().find(name);
  return role == ChildRoles().end() ? 125 : role->second();
}

// What main() calls first: true, with the role's exit status, in a child.
inline bool PlayChildRoleIfAsked(int& status) {
  const char* name = std::getenv(kChildRoleVariable);
  if (name == nullptr) return false;
  status = PlayChildRole(name);
  return true;
}

}  // namespace mirotabe::testing_support
