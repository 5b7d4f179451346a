# bash completion for quillet-host: commands, each command's options (asked
# from 'quillet-host help COMMAND', so they never go stale), condition and
# table names, files and folders.
_quillet_host() {
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion || return
    else
        words=("${COMP_WORDS[@]}") cword=$COMP_CWORD
        cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    fi
    local program=${words[0]}
    local commands
    commands=$("$program" --help 2>/dev/null |
        awk '/^commands:/ {on = 1; next} on && /^  / {print $1; next} on {exit}')
    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "$commands help --help --version -V" -- "$cur"))
        return
    fi
    local command=${words[1]}
    case $prev in
        --table | --condition)
            COMPREPLY=($(compgen -W "K L M H U U1 U2 U3 U4 U5 P101 P102 P103" -- "$cur"))
            return ;;
        --family)
            COMPREPLY=($(compgen -W "cutting punching" -- "$cur"))
            return ;;
        --group)
            COMPREPLY=($(compgen -g -- "$cur"))
            return ;;
        --dir | --samples | --data-root | --system-root)
            COMPREPLY=($(compgen -d -- "$cur"))
            return ;;
        --driver | --job | --target | --file | --csv | --registry | --path)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
    esac
    if [[ $command == help ]]; then
        ((cword == 2)) && COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$("$program" help "$command" 2>/dev/null |
            awk '$1 ~ /^--/ {print $1}')" -- "$cur"))
    elif [[ $command == template-cuts ]]; then
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -F _quillet_host quillet-host
