# Shared by scripts/demo, scripts/test, .ci/run and bench/run.sh: finds the
# Debian packages the build needs, installs the missing ones when run as root,
# and configures a build folder. Source it; it defines functions only.

DRAVOLIN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Debian's own python3, which has python3-ezdxf; a python3 earlier on PATH
# (pyenv, a virtualenv) would not.
DRAVOLIN_PYTHON=/usr/bin/python3

say() { printf '%s\n' "$*" >&2; }

# Prints the Debian packages among the build's needs that are missing, plus
# any packages named as arguments whose command is missing (name:command).
missing_packages() {
  local missing=()
  command -v cmake >/dev/null || missing+=(cmake)
  command -v g++ >/dev/null || missing+=(g++)
  # Ninja is preferred; make will do when it is there and ninja is not.
  command -v ninja >/dev/null || command -v make >/dev/null || missing+=(ninja-build)
  [[ -f /usr/include/gtest/gtest.h ]] || missing+=(libgtest-dev)
  # The interactive shell edits its lines with GNU readline.
  [[ -f /usr/include/readline/readline.h ]] || missing+=(libreadline-dev)
  # The web front end (dravolin serve): an HTTP library, found through
  # pkg-config, and JSON for its API.
  command -v pkg-config >/dev/null || missing+=(pkg-config)
  [[ -f /usr/include/httplib.h ]] || missing+=(libcpp-httplib-dev)
  [[ -f /usr/include/nlohmann/json.hpp ]] || missing+=(nlohmann-json3-dev)
  if [[ ! -x $DRAVOLIN_PYTHON ]]; then
    missing+=(python3 python3-ezdxf)
  elif ! "$DRAVOLIN_PYTHON" -c 'import ezdxf' 2>/dev/null; then
    missing+=(python3-ezdxf)
  fi
  local extra check
  for extra in "$@"; do
    check=${extra#*:}
    if [[ $check == /* ]]; then
      # A file the package installs (a glob allowed), for packages of
      # libraries rather than commands.
      compgen -G "$check" >/dev/null || missing+=("${extra%%:*}")
    else
      command -v "$check" >/dev/null || missing+=("${extra%%:*}")
    fi
  done
  printf '%s\n' "${missing[@]}"
}

# Installs what is missing (as root), or says what to install and fails.
# Arguments: extra needs as package:command, e.g. time:/usr/bin/time, or as
# package:/path/of/a/file/it/installs (globs allowed).
ensure_packages() {
  local missing
  mapfile -t missing < <(missing_packages "$@" | sed '/^$/d')
  ((${#missing[@]} == 0)) && return 0
  if ((EUID == 0)); then
    say "Installing missing Debian packages: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    say "Missing Debian packages: ${missing[*]}"
    say "Install them first:  sudo apt-get install ${missing[*]}"
    return 1
  fi
}

# configure_build DIR [CMAKE ARGS...]: configures DIR from the source tree.
# Extra arguments come from the call and from $DRAVOLIN_CMAKE_ARGS.
configure_build() {
  local dir=$1
  shift
  local args=("$@")
  local env_args=()
  read -r -a env_args <<<"${DRAVOLIN_CMAKE_ARGS:-}"
  args+=("${env_args[@]}")
  if [[ ! -f $dir/CMakeCache.txt ]]; then
    # A configured folder keeps its generator; a new one gets ninja if there.
    if command -v ninja >/dev/null; then
      args+=(-G Ninja)
    else
      args+=(-G "Unix Makefiles")
    fi
  fi
  cmake -S "$DRAVOLIN_ROOT" -B "$dir" "${args[@]}"
}

# Number of parallel build jobs.
build_jobs() {
  nproc 2>/dev/null || echo 2
}
