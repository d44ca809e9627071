#!/usr/bin/env python3
"""Checks that the libraries under src/ follow their layers.

- Every library's dependencies (velmora_library ... DEPS in its CMakeLists.txt)
  form no cycle.
- Every include of a project header ("folder/name.h") in a library's files
  names the library's own folder or one of the libraries it depends on,
  directly or through others; so no include reaches upward or sideways.
- The programs include only what they link, and stand where programs belong:
  the command-line programs in tools/<name>/, the program itself in app/main/.
- The folders that must stay free of Qt Widgets (src/editor/ outside its
  window/ folder) include no Qt Widgets header and do not link Qt6::Widgets.
- README's layer list names the same libraries, in an order where each comes
  after everything it uses, with the same direct dependencies.
"""

import os
import re
import sys

LIBRARY = re.compile(r'velmora_library\(\s*(\S+)(.*?)\)', re.S)
EXECUTABLE = re.compile(r'add_executable\(\s*(\S+)\s+([^)]*)\)', re.S)
LINKS = re.compile(r'target_link_libraries\(\s*(\S+)\s+PRIVATE\s+([^)]*)\)', re.S)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
README_LAYER = re.compile(r'^ {4,}(\w+)\s+src/(\S+?)/\s+uses\s*(.*)$', re.M)


def short(name):
    return name[len('velmora_'):] if name.startswith('velmora_') else name


def read_build(src):
    """Libraries (folder -> name, name -> deps) and programs (folder -> links)."""
    folder_of, deps, programs = {}, {}, {}
    for directory, _, files in os.walk(src):
        if 'CMakeLists.txt' not in files:
            continue
        folder = os.path.relpath(directory, src)
        text = open(os.path.join(directory, 'CMakeLists.txt')).read()
        for name, rest in LIBRARY.findall(text):
            words = rest.split()
            listed = words[words.index('DEPS') + 1:] if 'DEPS' in words else []
            if 'OPTIONS' in listed:
                listed = listed[:listed.index('OPTIONS')]
            folder_of[folder] = name
            deps[name] = [d for d in listed if d.startswith('velmora_')]
        links = dict(LINKS.findall(text))
        for exe, sources in EXECUTABLE.findall(text):
            for source in sources.split():
                sub = os.path.normpath(os.path.join(folder, os.path.dirname(source)))
                programs[sub] = [l for l in links.get(exe, '').split() if l.startswith('velmora_')]
    return folder_of, deps, programs


def reachable(name, deps):
    seen, todo = set(), [name]
    while todo:
        for dep in deps.get(todo.pop(), []):
            if dep not in seen:
                seen.add(dep)
                todo.append(dep)
    return seen


def find_cycles(deps):
    return [name for name in deps if name in reachable(name, deps)]


def check_includes(src, folder_of, deps, programs):
    problems = []
    for directory, _, files in os.walk(src):
        folder = os.path.relpath(directory, src)
        if folder in folder_of:
            own = folder_of[folder]
            allowed = {own} | reachable(own, deps)
        elif folder in programs:
            allowed = set()
            for lib in programs[folder]:
                allowed |= {lib} | reachable(lib, deps)
        else:
            continue
        for file in files:
            if not file.endswith(('.h', '.cpp')):
                continue
            path = os.path.join(directory, file)
            for header in INCLUDE.findall(open(path).read()):
                target = os.path.dirname(header)
                if target == folder and folder in programs:
                    continue  # a program's own header beside it
                lib = folder_of.get(target)
                if lib is None:
                    problems.append(f'{path}: "{header}" is not in a library folder')
                elif lib not in allowed:
                    problems.append(f'{path}: includes "{header}" of {short(lib)}, '
                                    f'which {short(folder_of.get(folder, folder))} may not use')
    return problems


def program_folder_allowed(folder):
    return folder == 'app/main' or (folder.startswith('tools/') and folder.count('/') == 1)


def check_program_folders(programs):
    return [f'src/{folder}/: a program outside src/tools/<name>/ and src/app/main/'
            for folder in sorted(programs) if not program_folder_allowed(folder)]


# Folders (relative to src/) whose files may not use Qt Widgets, and the
# subfolders of them that may.
WIDGET_FREE = {'editor': ['editor/window']}
ANY_INCLUDE = re.compile(r'^\s*#\s*include\s+[<"]([^>"]+)[>"]', re.M)


def widget_headers(include_dir):
    """The names a file includes Qt Widgets by: <QLabel>, <QtWidgets/QLabel>,
    <qlabel.h>, ..."""
    names = {'QtWidgets'}
    for entry in os.listdir(include_dir):
        names.add(entry)
        names.add('QtWidgets/' + entry)
    return names


def check_widget_free(src, include_dir):
    problems = []
    forbidden = widget_headers(include_dir) if include_dir else set()
    for top, allowed_below in WIDGET_FREE.items():
        for directory, _, files in os.walk(os.path.join(src, top)):
            folder = os.path.relpath(directory, src)
            if any(folder == a or folder.startswith(a + os.sep) for a in allowed_below):
                continue
            for file in files:
                path = os.path.join(directory, file)
                if file == 'CMakeLists.txt':
                    if 'Qt6::Widgets' in open(path).read():
                        problems.append(f'{path}: links Qt6::Widgets; widgets belong in '
                                        f'{", ".join(allowed_below)}')
                    continue
                if not file.endswith(('.h', '.cpp')):
                    continue
                for header in ANY_INCLUDE.findall(open(path).read()):
                    if header in forbidden:
                        problems.append(f'{path}: includes the Qt Widgets header <{header}>; '
                                        f'widgets belong in {", ".join(allowed_below)}')
    return problems


def check_readme(readme, folder_of, deps):
    layers = README_LAYER.findall(open(readme).read())
    if not layers:
        return ['README.md has no layer list ("    name   src/folder/   uses libraries: what")']
    problems, seen = [], set()
    names = {short(n) for n in deps}
    listed = {name for name, _, _ in layers}
    for missing in sorted(names - listed):
        problems.append(f'README.md: library {missing} is not in the layer list')
    for name, folder, uses in layers:
        lib = folder_of.get(folder)
        if lib is None or short(lib) != name:
            problems.append(f'README.md: {name} is not the library of src/{folder}/')
            continue
        said = {w for w in re.split(r'[\s,;]+', uses.split(':')[0]) if w in names}
        actual = {short(d) for d in deps[lib]}
        if said != actual:
            problems.append(f'README.md: {name} uses {sorted(actual)}, the list says {sorted(said)}')
        if not actual <= seen:
            problems.append(f'README.md: {name} comes before {sorted(actual - seen)}')
        seen.add(name)
    return problems


def main():
    root = sys.argv[1]
    # The folder of Qt Widgets' headers, for telling a widget include.
    widgets_dir = next((d for d in sys.argv[2:] if os.path.isfile(os.path.join(d, 'QWidget'))),
                       None)
    src = os.path.join(root, 'src')
    folder_of, deps, programs = read_build(src)
    problems = [f'dependency cycle through {short(n)}' for n in find_cycles(deps)]
    problems += check_includes(src, folder_of, deps, programs)
    problems += check_program_folders(programs)
    problems += check_widget_free(src, widgets_dir)
    problems += check_readme(os.path.join(root, 'README.md'), folder_of, deps)
    for problem in problems:
        print(problem)
    print(f'{len(deps)} libraries, {len(programs)} program folders, {len(problems)} problems')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
