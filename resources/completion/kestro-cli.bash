# bash completion for kestro-cli                          -*- shell-script -*-
#
# Commands, their options, the values of the options that have a known kind
# (files, folders, the export's field names) and volume names read from the
# catalog the command line names. The build puts kestro-cli's own command
# table where the line below stands.

@KESTRO_CLI_TABLE@

# The word as the command will see it: quotes and backslashes taken away,
# a leading ~/ made the home folder. Done without eval, so that nothing on
# the command line runs while it is being completed.
_kestro_cli_dequote() {
    local word=$1 out= i
    case $word in
        \'*) word=${word#\'} out=${word%\'} ;;
        \"*) word=${word#\"} out=${word%\"} ;;
        *)
            for ((i = 0; i < ${#word}; i++)); do
                [[ ${word:i:1} == \\ ]] && ((i++))
                out+=${word:i:1}
            done
            ;;
    esac
    [[ $out == "~/"* ]] && out=$HOME/${out:2}
    printf '%s' "$out"
}

# The kind of value an option of a command takes ("text" when nothing can be
# offered); nothing for an option without a value.
_kestro_cli_value_kind() {
    local key
    for key in "$1 $2" "$2"; do
        if [[ -v _kestro_cli_values[$key] ]]; then
            printf '%s' "${_kestro_cli_values[$key]}"
            return
        fi
    done
}

_kestro_cli() {
    local cur prev words cword split
    _init_completion -s || return

    # The command is the first word that is neither an option nor an
    # option's value; the common options may stand before it.
    local i word command= argument=0 kind
    local -a catalog=()
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        if [[ $word == -* ]]; then
            case $word in
                --catalog=* | --home=*)
                    catalog+=("${word%%=*}=$(_kestro_cli_dequote "${word#*=}")")
                    ;;
                *=*) ;;
                *)
                    kind=$(_kestro_cli_value_kind "$command" "$word")
                    if [[ $kind ]] && ((i + 1 < cword)); then
                        [[ $word == --catalog || $word == --home ]] &&
                            catalog+=("$word=$(_kestro_cli_dequote "${words[i + 1]}")")
                        ((i++))
                    fi
                    ;;
            esac
        elif [[ -z $command ]]; then
            command=$word
        else
            ((argument++))
        fi
    done

    kind=
    [[ $prev == -* ]] && kind=$(_kestro_cli_value_kind "$command" "$prev")
    if [[ -z $kind ]]; then
        if [[ $cur == -* ]]; then
            kind=options
        elif [[ -z $command ]]; then
            kind=commands
        else
            local -a arguments=(${_kestro_cli_arguments[$command]-})
            kind=${arguments[argument]-}
        fi
    fi

    case $kind in
        commands)
            COMPREPLY=($(compgen -W "$_kestro_cli_commands" -- "$cur"))
            ;;
        options)
            local options=$_kestro_cli_common_options
            [[ $command ]] && options=${_kestro_cli_options[$command]-$options}
            COMPREPLY=($(compgen -W "$options" -- "$cur"))
            ;;
        file) _filedir ;;
        folder) _filedir -d ;;
        fields)
            # A comma-separated list: the field after the last comma.
            local chosen=
            [[ $cur == *,* ]] && chosen=${cur%,*},
            COMPREPLY=($(compgen -P "$chosen" -W "$_kestro_cli_fields" -- "${cur##*,}"))
            compopt -o nospace
            ;;
        volume)
            local name prefix
            prefix=$(_kestro_cli_dequote "$cur")
            local IFS=$'\n'
            COMPREPLY=()
            while IFS=$'\t' read -r _ name _; do
                [[ $name == "$prefix"* ]] && COMPREPLY+=("$name")
            done < <("$(_kestro_cli_dequote "${words[0]}")" volumes "${catalog[@]}" 2>/dev/null)
            # Names are quoted as file names are: spaces, quotes and all.
            compopt -o filenames
            ;;
    esac
} &&
    complete -F _kestro_cli kestro-cli
