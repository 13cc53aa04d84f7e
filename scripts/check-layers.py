#!/usr/bin/env python3
# Fails, naming file and line, when a source file includes what its layer may not: a header of a layer above its
# own, a header of a folder its library does not link, or, above platform/, a system library header. One root is on
# every target's include path, so without this check any folder could include any header and the layers would be
# real only on paper.
#
#   python3 scripts/check-layers.py --root . --links korvo_app=korvo_frame,korvo_browse,korvo_media ...
#
# CTest runs it (the test Layers.FoldersIncludeOnlyWhatTheirLayerMay) with the link graph CMake has built: --links
# gives each library's own links, --passes what its users get through it (its public links). The order of the layers
# is kept here and only here; which folder may include which follows from that order and from the links in the
# CMakeLists.txt files.
#
# tests/ and bench/ are not checked: nothing builds on them, and they may use libsndfile, X11 and POSIX to make
# their fixtures and measure.

import argparse
import os
import re
import sys
from collections import namedtuple

Layer = namedtuple('Layer', 'folder target data', defaults=((),))

# Top to bottom. A folder's files may include headers of their own folder and of the folders below it whose
# libraries theirs links; `data` names further folders that are included as text, not linked.
LAYERS = [
    Layer('app', 'korvo_app'),
    Layer('media', 'korvo_media'),
    Layer('browse', 'korvo_browse'),
    Layer('controls', 'korvo_controls'),
    Layer('frame', 'korvo_frame'),
    Layer('framework', 'korvo_framework'),
    Layer('runtime', 'korvo_runtime', data=('resources',)),  # the message texts, resources/Messages.def
    Layer('platform/testing', 'korvo_platform_testing'),
    Layer('platform', 'korvo_platform'),  # all the rooms below, for the layers above
    # The rooms of the platform (platform/README.md).
    Layer('platform/desktop', 'korvo_platform_desktop'),
    Layer('platform/controls', 'korvo_platform_controls'),
    Layer('platform/mci', 'korvo_platform_mci'),
    Layer('platform/user', 'korvo_platform_user'),
    Layer('platform/display', 'korvo_platform_display'),
    Layer('platform/gdi', 'korvo_platform_gdi'),
    Layer('platform/kernel', 'korvo_platform_kernel'),
]

# Folders whose files are not checked, and that no layer may include from.
UNCHECKED = ('tests', 'bench')

# The one header of the platform that the layers above it see.
PLATFORM_API = 'platform/win32.h'

# Our own extensions beside the Windows API, each in a header of its own, and the layers that may include each: the
# program itself, not the layers it is built on, which stay written against Windows alone.
DESKTOP_EXTENSIONS = {
    'platform/desktop/MediaSession.h': ('app',),
    'platform/desktop/Accessibility.h': ('app',),
}

# Above platform/ only these system headers: the C++ standard library, with the C library headers it keeps.
STANDARD_HEADERS = set('''
    algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex concepts
    condition_variable coroutine deque exception execution expected filesystem flat_map flat_set format
    forward_list fstream functional future generator initializer_list iomanip ios iosfwd iostream istream iterator
    latch limits list locale map mdspan memory memory_resource mutex new numbers numeric optional ostream print
    queue random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location span spanstream
    sstream stack stacktrace stdexcept stdfloat stop_token streambuf string string_view strstream syncstream
    system_error text_encoding thread tuple type_traits typeindex typeinfo unordered_map unordered_set utility
    valarray variant vector version
    cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal cstdarg cstddef cstdint
    cstdio cstdlib cstring ctime cuchar cwchar cwctype
    assert.h ctype.h errno.h fenv.h float.h inttypes.h limits.h locale.h math.h setjmp.h signal.h stdarg.h
    stddef.h stdint.h stdio.h stdlib.h string.h time.h uchar.h wchar.h wctype.h
'''.split())

SOURCE_SUFFIXES = ('.h', '.hpp', '.hh', '.inc', '.def', '.cpp', '.cc', '.cxx')

INCLUDE = re.compile(r'^\s*#\s*include(?:_next)?\b\s*(.*)$')
HEADER_NAME = re.compile(r'^(<([^>]+)>|"([^"]+)")')


def layer_of(path):
    """The layer whose folder holds `path` (relative to the root, with slashes), the innermost one first."""
    best = None
    for layer in LAYERS:
        if (path + '/').startswith(layer.folder + '/') and (best is None or len(layer.folder) > len(best.folder)):
            best = layer
    return best


def rank(layer):
    """Higher is further up."""
    return len(LAYERS) - LAYERS.index(layer)


def in_platform(layer):
    return layer.folder.split('/')[0] == 'platform'


def closures(links, passes):
    """For each library, every library whose headers it may include: its own links and, through each of them,
    what that one passes on, and so on."""
    result = {}
    for target, direct in links.items():
        seen, todo = set(), list(direct)
        while todo:
            other = todo.pop()
            if other not in seen:
                seen.add(other)
                todo.extend(passes.get(other, ()))
        result[target] = seen
    return result


def includes(text):
    """(line number, what follows #include) for each include line outside block comments."""
    in_comment = False
    for number, line in enumerate(text.splitlines(), 1):
        code = ''
        rest = line
        while rest:
            if in_comment:
                end = rest.find('*/')
                if end < 0:
                    rest = ''
                else:
                    rest, in_comment = rest[end + 2:], False
            else:
                start = rest.find('/*')
                if start < 0:
                    code, rest = code + rest, ''
                else:
                    code, rest, in_comment = code + rest[:start] + ' ', rest[start + 2:], True
        match = INCLUDE.match(code)
        if match:
            yield number, match.group(1).strip()


def resolve(root, source, quoted, name):
    """The included file relative to the root, as the compiler would find it in the project, or None for a system
    header. A path into one of the root's folders counts as the project's even when no such file exists, so that a
    wrong path is judged by where it points."""
    candidates = [name]
    if quoted:
        candidates.insert(0, os.path.join(os.path.dirname(source), name))
    paths = [os.path.normpath(candidate).replace(os.sep, '/') for candidate in candidates]
    paths = [path for path in paths if not path.startswith('../')]
    for path in paths:
        if os.path.isfile(os.path.join(root, path)):
            return path
    # Paths are written from the root; one that starts from the including file's folder says so ("../").
    for path in reversed(paths):
        if '/' in path and os.path.isdir(os.path.join(root, path.split('/')[0])):
            return path
    return None


def check_file(root, source, may_link):
    """The faults of one file of a layer, as messages."""
    layer = layer_of(source)
    above_platform = not in_platform(layer)
    with open(os.path.join(root, source), encoding='utf-8', errors='replace') as f:
        text = f.read()
    faults = []
    for number, rest in includes(text):
        where = f'{source}:{number}'
        match = HEADER_NAME.match(rest)
        if not match:
            # Inside platform/ such an include names a system header (FreeType's are named by macros).
            if above_platform:
                faults.append(f'{where}: "#include {rest}" names no header this check can read; write its name')
            continue
        spelled, name, quoted = match.group(1), match.group(2) or match.group(3), match.group(3) is not None
        included = resolve(root, source, quoted, name)
        if included is None:
            # Not a file of the project: a system header.
            if above_platform and name not in STANDARD_HEADERS:
                faults.append(f'{where}: {spelled} is a system library header; above platform/ only the C++ '
                              f'standard library and "{PLATFORM_API}" may be included')
            continue
        owner = layer_of(included)
        if owner is layer:
            continue
        # The Windows API's declarations: every room implements part of them and may call the rest.
        if not above_platform and (included == PLATFORM_API or included.startswith('platform/win32/')):
            continue
        if owner is None:
            top = included.split('/')[0]
            if top in layer.data:
                continue
            faults.append(f'{where}: {spelled} is in {top}/, which is no layer that {layer.folder}/ may include')
        elif above_platform and in_platform(owner):
            if layer.folder in DESKTOP_EXTENSIONS.get(included, ()):
                continue
            if included != PLATFORM_API:
                faults.append(f'{where}: {spelled} is inside platform/; above it only "{PLATFORM_API}" may be '
                              'included')
        elif rank(owner) > rank(layer):
            faults.append(f'{where}: {spelled} is in {owner.folder}/, a layer above {layer.folder}/')
        elif owner.target not in may_link[layer.target]:
            faults.append(f'{where}: {spelled} is in {owner.folder}/, but {layer.target} does not link '
                          f'{owner.target}')
    return faults


def top_folders(root):
    """The root's folders that hold C++ sources, build folders left out."""
    for entry in sorted(os.listdir(root)):
        path = os.path.join(root, entry)
        if entry.startswith('.') or not os.path.isdir(path) or os.path.exists(os.path.join(path, 'CMakeCache.txt')):
            continue
        if any(name.endswith(SOURCE_SUFFIXES) for _, _, names in os.walk(path) for name in names):
            yield entry


def sources(root, folder):
    for directory, folders, names in os.walk(os.path.join(root, folder)):
        folders.sort()
        for name in sorted(names):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.relpath(os.path.join(directory, name), root).replace(os.sep, '/')


def parse_graph(values):
    graph = {}
    for value in values or ():
        target, _, others = value.partition('=')
        graph[target] = [other for other in others.split(',') if other]
    return graph


def main():
    parser = argparse.ArgumentParser(description='Checks that each folder includes only what its layer may.')
    parser.add_argument('--root', default=os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
    parser.add_argument('--links', action='append', metavar='TARGET=LIB,LIB', help="a library's own links")
    parser.add_argument('--passes', action='append', metavar='TARGET=LIB,LIB',
                        help='the links a library passes on to its users')
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    links, passes = parse_graph(args.links), parse_graph(args.passes)

    if not links:
        parser.error('no link graph: run it as CTest does (ctest -R Layers in the build folder) or pass --links')
    faults = []
    for layer in LAYERS:
        if layer.target not in links:
            faults.append(f'the layer table names {layer.target} for {layer.folder}/, but CMake builds no such library')
    for layer in LAYERS:
        for other in links.get(layer.target, ()):
            linked = next((candidate for candidate in LAYERS if candidate.target == other), None)
            if linked and rank(linked) > rank(layer):
                faults.append(f'{layer.target} links {other}, a layer above {layer.folder}/')
    known = {layer.folder.split('/')[0] for layer in LAYERS} | {data for layer in LAYERS for data in layer.data}
    known |= set(UNCHECKED)
    for folder in top_folders(root):
        if folder not in known:
            faults.append(f'{folder}/ holds sources but is in no layer: add it to the table in '
                          f'scripts/check-layers.py')
    if faults:
        print('\n'.join(faults))
        return 1

    may_link = closures(links, passes)
    checked = 0
    for folder in sorted({layer.folder.split('/')[0] for layer in LAYERS}):
        for source in sources(root, folder):
            faults.extend(check_file(root, source, may_link))
            checked += 1
    if faults:
        print('\n'.join(faults))
        print(f'{len(faults)} includes cross the layers, in {checked} files')
        return 1
    print(f'{checked} files include only what their layers may')
    return 0


if __name__ == '__main__':
    sys.exit(main())
